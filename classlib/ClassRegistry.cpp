#include "ClassRegistry.h"

#include <algorithm>
#include <vector>

namespace tvk {

TRegisterComponentsProc RegisterComponentsProc = nullptr;
TRegisterNoIconProc RegisterNoIconProc = nullptr;
TRegisterNonActiveXProc RegisterNonActiveXProc = nullptr;
int CurrentGroup = -1;

namespace {

std::vector<TClass>& Registered() {
  static std::vector<TClass> classes;  // made on first use: order of start-up does not matter
  return classes;
}

}  // namespace

void RegisterClass(TClass c) {
  if (!c) return;
  TClass existing = GetClass(c->Name);
  if (existing == c) return;
  if (existing) throw EFilerError(L"A class named " + WideString(c->Name) + L" already exists");
  Registered().push_back(c);
}

void UnRegisterClass(TClass c) { std::erase(Registered(), c); }

TClass GetClass(std::wstring_view name) {
  for (TClass c : Registered())
    if (SameTextIgnoringCase(c->Name, name)) return c;
  return nullptr;
}

void RegisterComponents(const WideString& page, std::span<const TClass> classes) {
  if (!RegisterComponentsProc) throw EComponentError(L"Invalid component registration");
  RegisterComponentsProc(page, classes);
}

void RegisterNoIcon(std::span<const TClass> classes) {
  if (RegisterNoIconProc) RegisterNoIconProc(classes);
}

void RegisterNonActiveX(std::span<const TClass> classes, int axRegType) {
  if (RegisterNonActiveXProc) RegisterNonActiveXProc(classes, axRegType);
}

}  // namespace tvk
