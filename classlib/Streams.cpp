#include "Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace tvk {

namespace {

DWORD ShareModeOf(std::uint16_t mode) {
  switch (mode & 0xF0) {
    case fmShareDenyWrite: return FILE_SHARE_READ;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return 0;  // compatible and exclusive: no sharing
  }
}

DWORD AccessOf(std::uint16_t mode) {
  switch (mode & 0x3) {
    case fmOpenWrite: return GENERIC_WRITE;
    case fmOpenReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

// Whether N bytes or a position N can be held in memory (a 32-bit process's limit).
bool FitsInMemory(std::int64_t n) {
  if constexpr (sizeof(std::size_t) < sizeof(std::int64_t))
    return n <= std::int64_t(std::numeric_limits<std::ptrdiff_t>::max());
  else
    return true;
}

WideString LastErrorText() { return SysErrorMessage(long(HRESULT_FROM_WIN32(GetLastError()))); }

// The position Offset from Origin would give, for a stream of Size bytes at Position.
std::int64_t SeekTarget(std::int64_t offset, TSeekOrigin origin, std::int64_t position, std::int64_t size) {
  std::int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position : size;
  std::int64_t target = base + offset;
  if (target < 0 || !FitsInMemory(target)) throw EStreamError(L"Invalid stream position");
  return target;
}

// One system read or write moves at most this much (a DWORD count).
constexpr std::size_t kMaxChunk = 0x40000000;

}  // namespace

// ---- TStream

std::int64_t TStream::Size() {
  std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
  std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError(L"Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  auto* p = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    std::size_t n = Read(p, count);
    if (n == 0) throw EReadError(L"Stream read error");
    p += n;
    count -= n;
  }
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError(L"Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<std::uint8_t> buffer(std::size_t(std::min<std::int64_t>(count, 0xF000)));
  std::int64_t left = count;
  while (left > 0) {
    std::size_t n = std::size_t(std::min<std::int64_t>(left, std::int64_t(buffer.size())));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= std::int64_t(n);
  }
  return count;
}

// ---- THandleStream

std::size_t THandleStream::Read(void* buffer, std::size_t count) {
  DWORD done = 0;
  if (count == 0 || !ReadFile(FHandle, buffer, DWORD(std::min(count, kMaxChunk)), &done, nullptr)) return 0;
  return done;
}

std::size_t THandleStream::Write(const void* buffer, std::size_t count) {
  DWORD done = 0;
  if (count == 0 || !WriteFile(FHandle, buffer, DWORD(std::min(count, kMaxChunk)), &done, nullptr)) return 0;
  return done;
}

std::int64_t THandleStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  static constexpr DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(FHandle, distance, &result, kMethods[int(origin)]))
    throw EStreamError(L"Invalid stream position");
  return result.QuadPart;
}

void THandleStream::SetSize(std::int64_t size) {
  std::int64_t position = Position();
  SetPosition(size);
  if (!SetEndOfFile(FHandle)) throw EStreamError(L"Stream size cannot be changed");
  if (position < size) SetPosition(position);
}

// ---- TFileStream

TFileStream::TFileStream(std::wstring_view fileName, std::uint16_t mode)
    : THandleStream(INVALID_HANDLE_VALUE), FFileName(fileName) {
  if ((mode & 0xFF00) == fmCreate) {
    FHandle = CreateFileW(FFileName.c_str(), GENERIC_READ | GENERIC_WRITE, ShareModeOf(mode), nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FHandle == INVALID_HANDLE_VALUE)
      throw EFCreateError(L"Cannot create file \"" + FFileName + L"\". " + LastErrorText());
  } else {
    FHandle = CreateFileW(FFileName.c_str(), AccessOf(mode), ShareModeOf(mode), nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FHandle == INVALID_HANDLE_VALUE)
      throw EFOpenError(L"Cannot open file \"" + FFileName + L"\". " + LastErrorText());
  }
}

TFileStream::~TFileStream() {
  if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
}

// ---- TMemoryStream

std::size_t TCustomMemoryStream::Read(void* buffer, std::size_t count) {
  if (FPosition >= FSize) return 0;
  std::size_t n = std::min(count, FSize - FPosition);
  if (n) std::memcpy(buffer, FMemory + FPosition, n);
  FPosition += n;
  return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  FPosition = std::size_t(SeekTarget(offset, origin, std::int64_t(FPosition), std::int64_t(FSize)));
  return std::int64_t(FPosition);
}

void TCustomMemoryStream::SetPointer(const void* memory, std::size_t size) {
  FMemory = static_cast<const std::uint8_t*>(memory);
  FSize = memory ? size : 0;
  FPosition = 0;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (FPosition >= FBytes.size()) return 0;
  std::size_t n = std::min(count, FBytes.size() - FPosition);
  if (n) std::memcpy(buffer, FBytes.data() + FPosition, n);
  FPosition += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (count > std::numeric_limits<std::size_t>::max() - FPosition) return 0;
  if (FPosition + count > FBytes.size()) SetSize(std::int64_t(FPosition + count));
  std::memcpy(FBytes.data() + FPosition, buffer, count);
  FPosition += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  FPosition = std::size_t(SeekTarget(offset, origin, std::int64_t(FPosition), std::int64_t(FBytes.size())));
  return std::int64_t(FPosition);
}

void TMemoryStream::SetSize(std::int64_t size) {
  static const wchar_t* const kNoMemory = L"Out of memory while expanding memory stream";
  if (size < 0 || !FitsInMemory(size)) throw EStreamError(kNoMemory);
  try {
    FBytes.resize(std::size_t(size));
  } catch (const std::bad_alloc&) {
    throw EStreamError(kNoMemory);
  } catch (const std::length_error&) {
    throw EStreamError(kNoMemory);
  }
  FPosition = std::min(FPosition, FBytes.size());
}

void TMemoryStream::Clear() {
  FBytes.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  std::int64_t size = source.Size();
  SetSize(size);
  if (size > 0) source.ReadBuffer(FBytes.data(), FBytes.size());
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(std::wstring_view fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(FBytes.data(), FBytes.size()); }

void TMemoryStream::SaveToFile(std::wstring_view fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// ---- TResourceStream

TResourceStream::TResourceStream(HINSTANCE instance, const WideString& name, const wchar_t* type) {
  HRSRC info = FindResourceW(instance, name.c_str(), type);
  HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
  if (!data) throw EResNotFound(L"Resource " + name + L" not found");
  FData = static_cast<const std::uint8_t*>(LockResource(data));
  FSize = SizeofResource(instance, info);
}

std::size_t TResourceStream::Read(void* buffer, std::size_t count) {
  if (FPosition >= FSize) return 0;
  std::size_t n = std::min(count, FSize - FPosition);
  std::memcpy(buffer, FData + FPosition, n);
  FPosition += n;
  return n;
}

std::size_t TResourceStream::Write(const void*, std::size_t) {
  throw EWriteError(L"Cannot write to a resource stream");
}

std::int64_t TResourceStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  FPosition = std::size_t(SeekTarget(offset, origin, std::int64_t(FPosition), std::int64_t(FSize)));
  return std::int64_t(FPosition);
}

// ---- TStreamAdapter

TStreamAdapter* TStreamAdapter::Create(TStream& stream, TStreamOwnership ownership) {
  return new TStreamAdapter(stream, ownership);
}

TStreamAdapter::~TStreamAdapter() {
  if (FOwnership == TStreamOwnership::soOwned) delete &FStream;
}

HRESULT TStreamAdapter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TStreamAdapter::AddRef() { return ULONG(InterlockedIncrement(&FRefCount)); }

ULONG TStreamAdapter::Release() {
  LONG count = InterlockedDecrement(&FRefCount);
  if (count == 0) delete this;
  return ULONG(count);
}

// The adapter's calls come from system code: an error becomes a failure code.
template <class F>
static HRESULT Guarded(F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return STG_E_INVALIDFUNCTION;
  }
}

HRESULT TStreamAdapter::Read(void* buffer, ULONG count, ULONG* read) {
  return Guarded([&] {
    std::size_t n = FStream.Read(buffer, count);
    if (read) *read = ULONG(n);
    return n == count ? S_OK : S_FALSE;
  });
}

HRESULT TStreamAdapter::Write(const void* buffer, ULONG count, ULONG* written) {
  return Guarded([&] {
    std::size_t n = FStream.Write(buffer, count);
    if (written) *written = ULONG(n);
    return n == count ? S_OK : STG_E_CANTSAVE;
  });
}

HRESULT TStreamAdapter::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  return Guarded([&] {
    std::int64_t p = FStream.Seek(move.QuadPart, TSeekOrigin(origin));
    if (position) position->QuadPart = std::uint64_t(p);
    return S_OK;
  });
}

HRESULT TStreamAdapter::SetSize(ULARGE_INTEGER size) {
  return Guarded([&] {
    FStream.SetSize(std::int64_t(size.QuadPart));
    return S_OK;
  });
}

HRESULT TStreamAdapter::CopyTo(IStream* dest, ULARGE_INTEGER count, ULARGE_INTEGER* read, ULARGE_INTEGER* written) {
  return Guarded([&] {
    std::uint8_t buffer[4096];
    std::uint64_t left = count.QuadPart, totalRead = 0, totalWritten = 0;
    HRESULT hr = S_OK;
    while (left > 0) {
      std::size_t n = FStream.Read(buffer, std::size_t(std::min<std::uint64_t>(left, sizeof buffer)));
      if (n == 0) break;
      totalRead += n;
      ULONG w = 0;
      hr = dest->Write(buffer, ULONG(n), &w);
      totalWritten += w;
      if (FAILED(hr) || w != n) break;
      left -= n;
    }
    if (read) read->QuadPart = totalRead;
    if (written) written->QuadPart = totalWritten;
    return FAILED(hr) ? hr : S_OK;
  });
}

HRESULT TStreamAdapter::Commit(DWORD) { return S_OK; }
HRESULT TStreamAdapter::Revert() { return STG_E_REVERTED; }
HRESULT TStreamAdapter::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
HRESULT TStreamAdapter::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT TStreamAdapter::Stat(STATSTG* stat, DWORD) {
  if (!stat) return STG_E_INVALIDPOINTER;
  return Guarded([&] {
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = std::uint64_t(FStream.Size());
    return S_OK;
  });
}

HRESULT TStreamAdapter::Clone(IStream** clone) {
  if (clone) *clone = nullptr;
  return STG_E_INVALIDFUNCTION;
}

// ---- Binary and named properties

namespace {

struct TDefinedProperty {
  WideString Name;
  TStreamProc ReadData, WriteData;
  TReaderProc ReadValue;
  TWriterProc WriteValue;
  bool HasData;
  bool Named;
};

// Collects what an object's DefineProperties declares.
class TCollectingFiler : public TFiler {
public:
  explicit TCollectingFiler(TPersistent* ancestor) { FAncestor = ancestor; }
  void DefineBinaryProperty(const WideString& name, TStreamProc readData, TStreamProc writeData,
                            bool hasData) override {
    Properties.push_back({name, std::move(readData), std::move(writeData), nullptr, nullptr, hasData, false});
  }
  void DefineProperty(const WideString& name, TReaderProc readData, TWriterProc writeData, bool hasData) override {
    Properties.push_back({name, nullptr, nullptr, std::move(readData), std::move(writeData), hasData, true});
  }
  std::vector<TDefinedProperty> Properties;
};

WideString ReadName(TStream& stream) {
  auto length = stream.ReadValue<std::uint16_t>();
  WideString name(length, L'\0');
  if (length) stream.ReadBuffer(name.data(), length * sizeof(wchar_t));
  return name;
}

// A length read from the stream is believed only when the stream holds that
// many bytes, so a damaged one cannot make us reserve gigabytes first.
void CheckAvailable(TStream& stream, std::uint64_t bytes) {
  const std::int64_t left = stream.Size() - stream.Position();
  if (left < 0 || bytes > std::uint64_t(left)) throw EReadError(L"Stream read error");
}

std::vector<std::uint8_t> ReadPropertyBytes(TStream& stream) {
  auto size = stream.ReadValue<std::uint32_t>();
  CheckAvailable(stream, size);
  std::vector<std::uint8_t> bytes(size);
  if (size) stream.ReadBuffer(bytes.data(), size);
  return bytes;
}

void WritePropertyFrame(TStream& stream, const WideString& name, TMemoryStream& data) {
  if (name.empty() || name.size() > std::numeric_limits<std::uint16_t>::max() ||
      data.Size() > std::numeric_limits<std::uint32_t>::max())
    throw EWriteError(L"Stream write error");
  stream.WriteValue(std::uint16_t(name.size()));
  stream.WriteBuffer(name.data(), name.size() * sizeof(wchar_t));
  stream.WriteValue(std::uint32_t(data.Size()));
  data.SaveToStream(stream);
}

void WritePropertyList(TPersistent& instance, TStream& stream, TPersistent* ancestor, bool binaryOnly) {
  const TComponentWriting writing(instance);
  TCollectingFiler filer(ancestor);
  instance.DefineProperties(filer);
  for (const TDefinedProperty& p : filer.Properties) {
    if (!p.HasData || (p.Named ? binaryOnly || !p.WriteValue : !p.WriteData)) continue;
    TMemoryStream data;
    if (p.Named) {
      TWriter writer(data);
      p.WriteValue(writer);
    } else {
      p.WriteData(data);
    }
    WritePropertyFrame(stream, p.Name, data);
  }
  stream.WriteValue(std::uint16_t(0));
}

void ReadPropertyList(TPersistent& instance, TStream& stream, bool binaryOnly) {
  TCollectingFiler filer(nullptr);
  instance.DefineProperties(filer);
  for (WideString name = ReadName(stream); !name.empty(); name = ReadName(stream)) {
    // The property reads only its own bytes, whatever it thinks it holds.
    TMemoryStream data(ReadPropertyBytes(stream));
    auto found = std::find_if(filer.Properties.begin(), filer.Properties.end(), [&](const TDefinedProperty& p) {
      return (!binaryOnly || !p.Named) && SameTextIgnoringCase(p.Name, name);
    });
    if (binaryOnly && (found == filer.Properties.end() || !found->ReadData))
      throw EReadError(L"Property " + name + L" does not exist");
    if (found == filer.Properties.end()) continue;
    if (!found->Named) {
      if (found->ReadData) found->ReadData(data);
    } else if (found->ReadValue) {
      TReader reader(data);
      found->ReadValue(reader);
      if (data.Position() != data.Size()) throw EReadError(L"Invalid property value");
    }
  }
}

}  // namespace

void TFiler::DefineProperty(const WideString&, TReaderProc, TWriterProc, bool) {}

void TWriter::WriteBoolean(bool value) { FStream.WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse); }

void TWriter::WriteInteger(std::int32_t value) {
  FStream.WriteValue(TValueType::vaInteger);
  FStream.WriteValue(value);
}

void TWriter::WriteString(const WideString& value) {
  if (value.size() > std::numeric_limits<std::uint32_t>::max() / sizeof(wchar_t))
    throw EWriteError(L"Stream write error");
  FStream.WriteValue(TValueType::vaString);
  FStream.WriteValue(std::uint32_t(value.size()));
  if (!value.empty()) FStream.WriteBuffer(value.data(), value.size() * sizeof(wchar_t));
}

void TWriter::WritePersistent(TPersistent& value) {
  FStream.WriteValue(TValueType::vaPersistent);
  WritePropertyList(value, FStream, nullptr, false);
}

TValueType TReader::NextValue() {
  const auto type = FStream.ReadValue<TValueType>();
  FStream.Seek(-1, TSeekOrigin::soCurrent);
  return type;
}

TValueType TReader::ReadValueType(TValueType expected) {
  const auto type = FStream.ReadValue<TValueType>();
  if (type != expected) throw EReadError(L"Invalid property value");
  return type;
}

bool TReader::ReadBoolean() {
  const auto type = FStream.ReadValue<TValueType>();
  if (type != TValueType::vaFalse && type != TValueType::vaTrue) throw EReadError(L"Invalid property value");
  return type == TValueType::vaTrue;
}

std::int32_t TReader::ReadInteger() {
  ReadValueType(TValueType::vaInteger);
  return FStream.ReadValue<std::int32_t>();
}

WideString TReader::ReadString() {
  ReadValueType(TValueType::vaString);
  const auto length = FStream.ReadValue<std::uint32_t>();
  CheckAvailable(FStream, std::uint64_t(length) * sizeof(wchar_t));
  WideString value(length, L'\0');
  if (length) FStream.ReadBuffer(value.data(), length * sizeof(wchar_t));
  return value;
}

void TReader::ReadPersistent(TPersistent& value) {
  ReadValueType(TValueType::vaPersistent);
  ReadPropertyList(value, FStream, false);
}

void WriteBinaryProperties(TPersistent& instance, TStream& stream, TPersistent* ancestor) {
  WritePropertyList(instance, stream, ancestor, true);
}

void ReadBinaryProperties(TPersistent& instance, TStream& stream) { ReadPropertyList(instance, stream, true); }

void WriteProperties(TPersistent& instance, TStream& stream, TPersistent* ancestor) {
  WritePropertyList(instance, stream, ancestor, false);
}

void ReadProperties(TPersistent& instance, TStream& stream) { ReadPropertyList(instance, stream, false); }

std::vector<WideString> BinaryPropertyNames(TStream& stream) {
  std::vector<WideString> names;
  for (WideString name = ReadName(stream); !name.empty(); name = ReadName(stream)) {
    auto size = stream.ReadValue<std::uint32_t>();
    CheckAvailable(stream, size);
    stream.Seek(size, TSeekOrigin::soCurrent);
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace tvk
