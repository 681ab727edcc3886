#pragma once
// Every generated record and operation, for checks over the whole table
// (generated with the records; linked into these tests only).
#include <windows.h>

#include <cstdint>
#include <span>

namespace tvk_test {

struct TRecordInfo {
  const char* Name;
  const char* Unit;
  GUID Iid;
  int MethodCount;
};

struct TRecordOperationInfo {
  const char* Record;
  const char* Operation;
  const uint8_t* Descriptor;
  // Calls the operation once on a record holding Target, with zero and empty
  // arguments.
  void (*Probe)(IDispatch* target);
  // The parameter names in declared order, comma-separated.
  const char* Parameters;
};

std::span<const TRecordInfo> RecordCatalogue();
std::span<const TRecordOperationInfo> RecordOperationCatalogue();

}  // namespace tvk_test
