#include "Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

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

WideString LastErrorText() { return SysErrorMessage(long(HRESULT_FROM_WIN32(GetLastError()))); }

}  // namespace

// ---- TStream

std::int64_t TStream::Size() {
  std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
  std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) {}

void TStream::ReadBuffer(void* buffer, std::int32_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(L"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int32_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(L"Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::int64_t total = count;
  std::vector<std::uint8_t> buffer(std::size_t(std::min<std::int64_t>(count, 0xF000)));
  while (count > 0) {
    std::int32_t n = std::int32_t(std::min<std::int64_t>(count, std::int64_t(buffer.size())));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return total;
}

// ---- THandleStream

std::int32_t THandleStream::Read(void* buffer, std::int32_t count) {
  DWORD done = 0;
  if (count <= 0 || !ReadFile(FHandle, buffer, DWORD(count), &done, nullptr)) return 0;
  return std::int32_t(done);
}

std::int32_t THandleStream::Write(const void* buffer, std::int32_t count) {
  DWORD done = 0;
  if (count <= 0 || !WriteFile(FHandle, buffer, DWORD(count), &done, nullptr)) return 0;
  return std::int32_t(done);
}

std::int64_t THandleStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  static constexpr DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(FHandle, distance, &result, kMethods[int(origin)])) return -1;
  return result.QuadPart;
}

void THandleStream::SetSize(std::int64_t size) {
  std::int64_t position = Position();
  SetPosition(size);
  if (!SetEndOfFile(FHandle)) throw EStreamError(L"Stream write error");
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

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count) {
  std::int64_t available = std::int64_t(FData.size()) - FPosition;
  if (count <= 0 || available <= 0) return 0;
  std::int32_t n = std::int32_t(std::min<std::int64_t>(count, available));
  std::memcpy(buffer, FData.data() + FPosition, std::size_t(n));
  FPosition += n;
  return n;
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count) {
  if (count <= 0 || FPosition < 0) return 0;
  std::int64_t end = FPosition + count;
  if (end > std::int64_t(FData.size())) FData.resize(std::size_t(end));
  std::memcpy(FData.data() + FPosition, buffer, std::size_t(count));
  FPosition = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::soBeginning: FPosition = offset; break;
    case TSeekOrigin::soCurrent: FPosition += offset; break;
    case TSeekOrigin::soEnd: FPosition = std::int64_t(FData.size()) + offset; break;
  }
  return FPosition;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0 || size > std::numeric_limits<std::int32_t>::max()) throw EStreamError(L"Out of memory while expanding memory stream");
  FData.resize(std::size_t(size));
  if (FPosition > size) FPosition = size;
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  std::int64_t size = stream.Size();
  SetSize(size);
  if (size) stream.ReadBuffer(FData.data(), std::int32_t(size));
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(std::wstring_view fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) {
  if (!FData.empty()) stream.WriteBuffer(FData.data(), std::int32_t(FData.size()));
}

void TMemoryStream::SaveToFile(std::wstring_view fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

}  // namespace tvk
