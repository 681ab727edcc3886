#pragma once
// Streams of the class library: the abstract byte stream, streams on a system
// file handle and on a named file (opened with the library's 16-bit open
// modes), and a stream held in memory.
#include "Classes.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tvk {

class EStreamError : public Exception { public: using Exception::Exception; };
class EReadError : public EStreamError { public: using EStreamError::EStreamError; };
class EWriteError : public EStreamError { public: using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { public: using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { public: using EStreamError::EStreamError; };

// Open modes of a file stream: one access value, or'ed with one sharing value;
// fmCreate alone creates (or empties) the file.
constexpr std::uint16_t fmCreate = 0xFF00;
constexpr std::uint16_t fmOpenRead = 0x0000;
constexpr std::uint16_t fmOpenWrite = 0x0001;
constexpr std::uint16_t fmOpenReadWrite = 0x0002;
constexpr std::uint16_t fmShareCompat = 0x0000;
constexpr std::uint16_t fmShareExclusive = 0x0010;
constexpr std::uint16_t fmShareDenyWrite = 0x0020;
constexpr std::uint16_t fmShareDenyRead = 0x0030;
constexpr std::uint16_t fmShareDenyNone = 0x0040;

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
  TVK_CLASS(TStream, TObject)

  // Up to Count bytes; answers how many were read (0 at the end).
  virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
  // Answers how many bytes were written.
  virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
  // Answers the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size);

  // Exactly Count bytes, or EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, std::int32_t count);
  void WriteBuffer(const void* buffer, std::int32_t count);
  // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream on a system file handle it does not own.
class THandleStream : public TStream {
public:
  TVK_CLASS(THandleStream, TStream)
  explicit THandleStream(HANDLE handle) : FHandle(handle) {}

  std::int32_t Read(void* buffer, std::int32_t count) override;
  std::int32_t Write(const void* buffer, std::int32_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  // Ends the file at Size (the position moves there when it lay beyond).
  void SetSize(std::int64_t size) override;
  HANDLE Handle() const { return FHandle; }

protected:
  HANDLE FHandle;
};

// A stream on a named file, opened (or created, fmCreate) with Mode; closed with it.
// Raises EFOpenError "Cannot open file "X". reason" / EFCreateError "Cannot create file ...".
class TFileStream : public THandleStream {
public:
  TVK_CLASS(TFileStream, THandleStream)
  TFileStream(std::wstring_view fileName, std::uint16_t mode);
  ~TFileStream() override;
  const WideString& FileName() const { return FFileName; }

private:
  WideString FFileName;
};

// A stream held in memory, growing as it is written.
class TMemoryStream : public TStream {
public:
  TVK_CLASS(TMemoryStream, TStream)

  std::int32_t Read(void* buffer, std::int32_t count) override;
  std::int32_t Write(const void* buffer, std::int32_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return std::int64_t(FData.size()); }
  // New bytes are zero; the position stays unless it lay beyond the new end.
  void SetSize(std::int64_t size) override;

  // The bytes; valid until the size changes.
  std::uint8_t* Memory() { return FData.data(); }
  const std::uint8_t* Memory() const { return FData.data(); }
  void Clear();
  // Replaces the content with all of Stream (from its start) / the file's bytes.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(std::wstring_view fileName);
  void SaveToStream(TStream& stream);
  void SaveToFile(std::wstring_view fileName);

private:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};

}  // namespace tvk
