#pragma once
// What a filter-building control asks of the editors: per editor kind, a
// helper that makes and prepares the editor of a condition's value, moves
// the value in and out of it and says which operators suit the value; and
// the process-wide registry from a properties class to its helper.
#include "cxClasses.h"
#include "cxCustomEdit.h"
#include "cxDataStorage.h"

#include <cstdint>
#include <map>

namespace tvk {

enum TcxFilterControlOperator {
  fcoNone, fcoEqual, fcoNotEqual, fcoLess, fcoLessEqual, fcoGreater, fcoGreaterEqual, fcoLike, fcoNotLike,
  fcoBlanks, fcoNonBlanks, fcoBetween, fcoNotBetween, fcoInList, fcoNotInList, fcoYesterday, fcoToday,
  fcoTomorrow, fcoLast7Days, fcoLastWeek, fcoLast14Days, fcoLastTwoWeeks, fcoLast30Days, fcoLastMonth,
  fcoLastYear, fcoInPast, fcoThisWeek, fcoThisMonth, fcoThisYear, fcoNext7Days, fcoNextWeek, fcoNext14Days,
  fcoNextTwoWeeks, fcoNext30Days, fcoNextMonth, fcoNextYear, fcoInFuture
};
using TcxFilterControlOperators = uint64_t;  // bit n for operator n
constexpr TcxFilterControlOperators cxFilterOperatorBit(TcxFilterControlOperator AOperator) {
  return TcxFilterControlOperators(1) << AOperator;
}
// AFirst to ALast, both included.
constexpr TcxFilterControlOperators cxFilterOperatorRange(TcxFilterControlOperator AFirst,
                                                          TcxFilterControlOperator ALast) {
  return (cxFilterOperatorBit(ALast) << 1) - cxFilterOperatorBit(AFirst);
}

// A helper has no state: its one object per class stands for the class
// (what the registry stores), and every operation is the class's.
class TcxCustomFilterEditHelper : public TObject {
public:
  TVK_CLASS(TcxCustomFilterEditHelper, TObject)
  // Drops the copied user handlers; OnClosePopup and OnPropertiesChanged stay.
  virtual void ClearPropertiesEvents(TcxCustomEditProperties* AProperties) const;
  virtual void InitializeEdit(TcxCustomEdit& AEdit, TcxCustomEditProperties& AEditProperties) const;
  virtual bool KeepsDefaultValuesProvider(TcxCustomEditProperties&) const { return true; }
  virtual bool EditPropertiesHasButtons() const { return false; }
  // The editor class of the filter row (none at this level).
  virtual TcxCustomEditClass GetFilterEditClass() const { return nullptr; }
  virtual void GetFilterValue(TcxCustomEdit& AEdit, TcxCustomEditProperties& AEditProperties, Variant& V,
                              WideString& S) const;
  virtual TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                                TcxValueTypeClass AValueTypeClass,
                                                                bool AExtendedSet) const;
  // Makes AProperties a copy of the field editor's AEditProperties fit for a filter row.
  virtual void InitializeProperties(TcxCustomEditProperties& AProperties, TcxCustomEditProperties& AEditProperties,
                                    bool AHasButtons) const;
  // The value type must be given; it may convert AValue in place.
  virtual bool IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) const;
  virtual void SetFilterValue(TcxCustomEdit&, TcxCustomEditProperties&, const Variant&) const {}
  virtual bool UseDisplayValue() const { return false; }
  // The list's editor for the filter editor's properties class (made once),
  // else a new editor without owner that the caller owns; prepared either way.
  TcxCustomEdit* GetFilterEdit(TcxCustomEditProperties& AEditProperties,
                               TcxInplaceEditList* AInplaceEditList = nullptr) const;
};
using TcxCustomFilterEditHelperClass = const TcxCustomFilterEditHelper*;

// The one object of a helper class.
template <class T>
TcxCustomFilterEditHelperClass FilterEditHelperClassOf() {
  static const T helper;
  return &helper;
}

// Pairs keyed by the parent class of the properties class given.
class TcxFilterEditsController : public TcxRegisteredClassList {
public:
  TVK_CLASS(TcxFilterEditsController, TcxRegisteredClassList)
  TcxFilterEditsController() = default;
  void Register(TcxCustomEditPropertiesClass AItemClass, TcxCustomFilterEditHelperClass AHelper);
  // Emptied, the process-wide controller destroys itself: touch nothing after.
  void Unregister(TcxCustomEditPropertiesClass AItemClass, TcxCustomFilterEditHelperClass AHelper);
  // The helper of the closest registered class (the parent of APropertiesClass
  // or an ancestor of it); null when none.
  TcxCustomFilterEditHelperClass FindHelper(TcxCustomEditPropertiesClass APropertiesClass) const;

private:
  std::map<TClass, TcxCustomFilterEditHelperClass> FHelpers;
};

// The process-wide controller, made empty on the first call.
TcxFilterEditsController* FilterEditsController();
// The controller when one exists (tests).
TcxFilterEditsController* FindFilterEditsController();

}  // namespace tvk
