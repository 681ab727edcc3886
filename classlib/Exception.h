#pragma once
// The module's own error: every failure inside the module is one of these (or
// derived from it); served boundaries turn it into a result code.
#include <exception>
#include <string>

namespace tvk {

using WideString = std::wstring;

class Exception : public std::exception {
public:
  explicit Exception(WideString message) : FMessage(std::move(message)) {}
  const WideString& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return "tvk::Exception"; }

private:
  WideString FMessage;
};

// Raised where a result code of a direct call on a served or host object failed.
class EResultError : public Exception {
public:
  explicit EResultError(long code);
  long Code() const noexcept { return FCode; }

private:
  long FCode;
};

// Raises EResultError when Code is a failure (negative) result code.
void CheckResult(long code);

}  // namespace tvk
