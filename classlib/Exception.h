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

// The silent abort: it ends what runs without a message (the application's
// handler passes over it).
class EAbort : public Exception {
public:
  EAbort() : Exception(L"Operation aborted") {}
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

// An error of a late-bound call.
class EOleError : public Exception {
public:
  using Exception::Exception;
};

// A late-bound call failed with a result code; without a message of its own it
// carries the system's text for the code, or "OLE error %.8x".
class EOleSysError : public EOleError {
public:
  EOleSysError(const WideString& message, long code, unsigned long helpContext = 0);
  long ErrorCode() const noexcept { return FErrorCode; }
  unsigned long HelpContext() const noexcept { return FHelpContext; }

private:
  long FErrorCode;
  unsigned long FHelpContext;
};

// The called object raised an exception of its own: its description (without
// trailing blanks, line breaks and full stops), code, source and help.
class EOleException : public EOleSysError {
public:
  EOleException(const WideString& description, long code, WideString source, WideString helpFile,
                unsigned long helpContext);
  const WideString& Source() const noexcept { return FSource; }
  const WideString& HelpFile() const noexcept { return FHelpFile; }

private:
  WideString FSource, FHelpFile;
};

// The system's message text for a result code, trimmed like an exception
// description; empty when the system has none.
WideString SysErrorMessage(long code);

}  // namespace tvk
