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

namespace {

// Grouped class -> its group's root.
std::vector<std::pair<TClass, TClass>>& Groups() {
  static std::vector<std::pair<TClass, TClass>> groups;
  return groups;
}

TClass DirectGroupOf(TClass c) {
  for (const auto& [member, root] : Groups())
    if (member == c) return root;
  return nullptr;
}

}  // namespace

void StartClassGroup(TClass root) {
  if (root && !DirectGroupOf(root)) Groups().emplace_back(root, root);
}

void GroupDescendentsWith(TClass aClass, TClass aClassGroup) {
  TClass root = ClassGroupOf(aClassGroup);
  if (!aClass || !root) return;
  for (auto& [member, group] : Groups())
    if (member == aClass) {
      group = root;
      return;
    }
  Groups().emplace_back(aClass, root);
}

TClass ClassGroupOf(TClass aClass) {
  for (TClass c = aClass; c; c = c->Parent)
    if (TClass root = DirectGroupOf(c)) return root;
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
