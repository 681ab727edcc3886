#pragma once
// Streams of bytes behind one interface: a system file handle, a named file
// (opened with the library's 16-bit open modes), memory and module resources;
// an IStream adapter so that system routines can read and write them, and the
// filer through which an object's binary properties (a bitmap's or image
// list's data) and named typed properties are written to and read from a stream.
#include "Classes.h"

#include <objidl.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tvk {

class EStreamError : public Exception { public: using Exception::Exception; };
class EReadError : public EStreamError { public: using EStreamError::EStreamError; };
class EWriteError : public EStreamError { public: using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { public: using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { public: using EStreamError::EStreamError; };

// Open modes of a file stream: one access value, or'ed with one sharing value;
// fmCreate alone creates (or empties) the file, exclusively.
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
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Answers how many bytes were written.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // The new position; raises EStreamError where the stream cannot move so.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  virtual std::int64_t Size();
  // Raises EStreamError where the stream cannot change its size.
  virtual void SetSize(std::int64_t size);

  // Exactly Count bytes, or EReadError "Stream read error".
  void ReadBuffer(void* buffer, std::size_t count);
  // Exactly Count bytes, or EWriteError "Stream write error".
  void WriteBuffer(const void* buffer, std::size_t count);
  // Count bytes of Source from its position; 0: all of Source from its start.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);

  template <class T>
  T ReadValue() {
    T value{};
    ReadBuffer(&value, sizeof value);
    return value;
  }
  template <class T>
  void WriteValue(const T& value) { WriteBuffer(&value, sizeof value); }

  // Whether texts that this stream stores are UTF-16 (else 8-bit): the
  // stream's writer sets it, the value readers and writers ask it.
  bool WideText() const { return FWideText; }
  void SetWideText(bool AValue) { FWideText = AValue; }

private:
  bool FWideText = false;
};

// A stream on a system file handle it does not own.
class THandleStream : public TStream {
public:
  TVK_CLASS(THandleStream, TStream)
  explicit THandleStream(HANDLE handle) : FHandle(handle) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
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

// A stream over memory it does not own: reads and seeks within the block a
// descendant points it at (SetPointer); what writing does is the descendant's.
class TCustomMemoryStream : public TStream {
public:
  TVK_CLASS(TCustomMemoryStream, TStream)
  std::size_t Read(void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return std::int64_t(FSize); }
  const void* Memory() const { return FMemory; }

protected:
  // The block of Size bytes at Memory; the position goes back to 0.
  void SetPointer(const void* memory, std::size_t size);

private:
  const std::uint8_t* FMemory = nullptr;
  std::size_t FSize = 0;
  std::size_t FPosition = 0;
};

// A stream held in memory, growing as it is written.
class TMemoryStream : public TStream {
public:
  TVK_CLASS(TMemoryStream, TStream)
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return std::int64_t(FBytes.size()); }
  // New bytes are zero; the position stays unless it lay beyond the new end.
  void SetSize(std::int64_t size) override;
  void Clear();

  // The bytes; valid until the size changes.
  std::uint8_t* Memory() { return FBytes.data(); }
  const std::uint8_t* Memory() const { return FBytes.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
  // Replaces the content with all of Stream (from its start) / the file's bytes.
  void LoadFromStream(TStream& source);
  void LoadFromFile(std::wstring_view fileName);
  void SaveToStream(TStream& dest);
  void SaveToFile(std::wstring_view fileName);

private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FPosition = 0;
};

// The bytes of a module resource (read only). A missing one raises
// EResNotFound "Resource X not found".
class TResourceStream : public TStream {
public:
  TVK_CLASS(TResourceStream, TStream)
  TResourceStream(HINSTANCE instance, const WideString& name, const wchar_t* type);
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return std::int64_t(FSize); }

private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPosition = 0;
};

enum class TStreamOwnership { soReference, soOwned };

// A COM IStream over a stream, for system routines that read or write one
// (ImageList_Read, the imaging codecs). Errors of the stream become failure
// codes; nothing is thrown across the interface.
class TStreamAdapter final : public IStream {
public:
  // Made with a reference count of 1; Release frees it (and an owned stream).
  static TStreamAdapter* Create(TStream& stream, TStreamOwnership ownership = TStreamOwnership::soReference);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* dest, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

private:
  TStreamAdapter(TStream& stream, TStreamOwnership ownership) : FStream(stream), FOwnership(ownership) {}
  ~TStreamAdapter();
  TStream& FStream;
  TStreamOwnership FOwnership;
  LONG FRefCount = 1;
};

// ---- Binary and named properties

using TStreamProc = std::function<void(TStream& stream)>;

// The kind of a named property's value in a stream; each value starts with it.
enum class TValueType : std::uint8_t { vaFalse = 1, vaTrue, vaInteger, vaString, vaPersistent };

// Writes the typed value of one named property.
class TWriter {
public:
  explicit TWriter(TStream& stream) : FStream(stream) {}
  void WriteBoolean(bool value);
  // Colours, enumerations and small sets are written as integers too.
  void WriteInteger(std::int32_t value);
  void WriteString(const WideString& value);
  // The object's own properties, binary and named, nested in this one.
  void WritePersistent(TPersistent& value);

private:
  TStream& FStream;
};

// Reads the typed value of one named property. A value of another kind than
// asked for, or one cut short, raises EReadError; nothing is read beyond the
// property's own bytes.
class TReader {
public:
  explicit TReader(TStream& stream) : FStream(stream) {}
  TValueType NextValue();
  bool ReadBoolean();
  std::int32_t ReadInteger();
  WideString ReadString();
  // Into Value, by the properties it defines; names it does not define are skipped.
  void ReadPersistent(TPersistent& value);

private:
  TValueType ReadValueType(TValueType expected);
  TStream& FStream;
};

using TReaderProc = std::function<void(TReader& reader)>;
using TWriterProc = std::function<void(TWriter& writer)>;

// What an object's DefineProperties talks to: each binary property with the
// routine that reads it, the one that writes it, and whether it has data to
// write; each named property likewise, with a typed reader and writer.
// Ancestor is the object this one is compared with when written (null:
// none), as a form inherited from another writes only what differs.
class TFiler {
public:
  virtual ~TFiler() = default;
  virtual void DefineBinaryProperty(const WideString& name, TStreamProc readData, TStreamProc writeData,
                                    bool hasData) = 0;
  // A filer that handles binary properties only ignores named ones.
  virtual void DefineProperty(const WideString& name, TReaderProc readData, TWriterProc writeData, bool hasData);
  TPersistent* Ancestor() const { return FAncestor; }

protected:
  TPersistent* FAncestor = nullptr;
};

// Writes every binary property of Instance that has data: its name, its
// length and its bytes, then an end mark.
void WriteBinaryProperties(TPersistent& instance, TStream& stream, TPersistent* ancestor = nullptr);
// Reads what WriteBinaryProperties wrote into Instance; a property Instance
// does not define raises EReadError "Property X does not exist".
void ReadBinaryProperties(TPersistent& instance, TStream& stream);
// The names of the binary properties in Stream, which is read to its end mark.
std::vector<WideString> BinaryPropertyNames(TStream& stream);

// Writes every property of Instance that has data, named ones and binary ones
// in the order DefineProperties gives them, in the same frame as
// WriteBinaryProperties (name, length, bytes), so that either reader can
// skip what it does not know.
void WriteProperties(TPersistent& instance, TStream& stream, TPersistent* ancestor = nullptr);
// Reads what WriteProperties or WriteBinaryProperties wrote into Instance;
// a name Instance does not define is skipped. A damaged stream raises
// EReadError before anything beyond it is read.
void ReadProperties(TPersistent& instance, TStream& stream);

}  // namespace tvk
