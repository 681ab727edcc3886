#include "ZUL.AbstractClasses.h"

namespace tvk {

#define TVK_ROW_TAbstractExternalForm(Id, Name, Params) TVK_SERVED_ROW(TAbstractExternalForm, Id, Name),
#define TVK_ROW_TAbstractNotificationHandler(Id, Name, Params) TVK_SERVED_ROW(TAbstractNotificationHandler, Id, Name),
#define TVK_ROW_TAbstractTimerHandler(Id, Name, Params) TVK_SERVED_ROW(TAbstractTimerHandler, Id, Name),
#define TVK_ROW_TAbstractStrings(Id, Name, Params) TVK_SERVED_ROW(TAbstractStrings, Id, Name),

static constexpr TServedRow<TAbstractExternalForm> kExternalFormRows[] = {
    TVK_EXTERNAL_FORM_OPERATIONS(TVK_ROW_TAbstractExternalForm)};
TVK_SERVED_LEVEL_IMPL(TAbstractExternalForm, TAbstractSupportService, kExternalFormRows, L"ExternalForm")

static constexpr TServedRow<TAbstractNotificationHandler> kNotificationHandlerRows[] = {
    TVK_NOTIFICATION_HANDLER_OPERATIONS(TVK_ROW_TAbstractNotificationHandler)};
TVK_SERVED_LEVEL_IMPL(TAbstractNotificationHandler, TAbstractSupportService, kNotificationHandlerRows,
                      L"NotificationHandler")

static constexpr TServedRow<TAbstractTimerHandler> kTimerHandlerRows[] = {
    TVK_TIMER_HANDLER_OPERATIONS(TVK_ROW_TAbstractTimerHandler)};
TVK_SERVED_LEVEL_IMPL(TAbstractTimerHandler, TAbstractSupportService, kTimerHandlerRows, L"TimerHandler")

static constexpr TServedRow<TAbstractStrings> kStringsRows[] = {TVK_STRINGS_OPERATIONS(TVK_ROW_TAbstractStrings)};
TVK_SERVED_LEVEL_IMPL(TAbstractStrings, TAbstractSupportService, kStringsRows, L"Strings")

}  // namespace tvk
