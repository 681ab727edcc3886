#include "ZStreams.h"

#include <zlib.h>

#include <vector>

namespace tvk {

namespace {

constexpr std::size_t kBufferSize = 0x8000;

WideString ZLibText(const z_stream& z, int code) {
  const char* text = z.msg ? z.msg : zError(code);
  WideString result;
  for (const char* p = text ? text : ""; *p; ++p) result += wchar_t(static_cast<unsigned char>(*p));
  return result;
}

// What both directions keep: the other stream, zlib's state and a buffer of
// compressed bytes, whether the zlib stream is done, and the count of plain bytes.
struct TZLibState {
  explicit TZLibState(TStream& stream) : Stream(stream) {}
  TStream& Stream;
  z_stream Z{};
  std::vector<Bytef> Buffer = std::vector<Bytef>(kBufferSize);
  bool Done = false;
  std::int64_t Count = 0;
};

}  // namespace

// ---- TCompressionStream

struct TCompressionStream::State : TZLibState {
  using TZLibState::TZLibState;

  // Runs deflate until the input is used (and with Z_FINISH until the end).
  void Pump(int flush) {
    for (;;) {
      Z.next_out = Buffer.data();
      Z.avail_out = uInt(Buffer.size());
      int code = deflate(&Z, flush);
      if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR)
        throw ECompressionError(L"Compression error: " + ZLibText(Z, code), code);
      std::size_t produced = Buffer.size() - Z.avail_out;
      Stream.WriteBuffer(Buffer.data(), produced);
      if (flush == Z_FINISH ? code == Z_STREAM_END : (Z.avail_in == 0 && Z.avail_out != 0)) return;
    }
  }
};

TCompressionStream::TCompressionStream(TCompressionLevel level, TStream& dest) : FState(new State(dest)) {
  static constexpr int kLevels[] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION, Z_BEST_COMPRESSION};
  int code = deflateInit(&FState->Z, kLevels[int(level)]);
  if (code != Z_OK) throw ECompressionError(L"Compression error: " + ZLibText(FState->Z, code), code);
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
    // A destructor cannot report; Finish called first reports the error.
  }
  deflateEnd(&FState->Z);
}

void TCompressionStream::Finish() {
  if (FState->Done) return;
  FState->Done = true;
  FState->Z.next_in = nullptr;
  FState->Z.avail_in = 0;
  FState->Pump(Z_FINISH);
}

std::size_t TCompressionStream::Read(void*, std::size_t) {
  throw ECompressionError(L"Invalid stream operation", Z_STREAM_ERROR);
}

std::size_t TCompressionStream::Write(const void* buffer, std::size_t count) {
  if (FState->Done) throw ECompressionError(L"Invalid stream operation", Z_STREAM_ERROR);
  const auto* p = static_cast<const Bytef*>(buffer);
  std::size_t left = count;
  while (left > 0) {
    uInt chunk = uInt(std::min<std::size_t>(left, 0x40000000));
    FState->Z.next_in = const_cast<Bytef*>(p);
    FState->Z.avail_in = chunk;
    FState->Pump(Z_NO_FLUSH);
    p += chunk;
    left -= chunk;
  }
  FState->Count += std::int64_t(count);
  return count;
}

std::int64_t TCompressionStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == TSeekOrigin::soCurrent) return FState->Count;
  throw ECompressionError(L"Invalid stream operation", Z_STREAM_ERROR);
}

// ---- TDecompressionStream

struct TDecompressionStream::State : TZLibState {
  using TZLibState::TZLibState;
};

TDecompressionStream::TDecompressionStream(TStream& source) : FState(new State(source)) {
  int code = inflateInit(&FState->Z);
  if (code != Z_OK) throw EDecompressionError(L"Decompression error: " + ZLibText(FState->Z, code), code);
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&FState->Z); }

std::size_t TDecompressionStream::Read(void* buffer, std::size_t count) {
  State& s = *FState;
  auto* out = static_cast<Bytef*>(buffer);
  std::size_t produced = 0;
  while (produced < count && !s.Done) {
    if (s.Z.avail_in == 0) {
      std::size_t n = s.Stream.Read(s.Buffer.data(), s.Buffer.size());
      if (n == 0) throw EDecompressionError(L"Decompression error: unexpected end of data", Z_BUF_ERROR);
      s.Z.next_in = s.Buffer.data();
      s.Z.avail_in = uInt(n);
    }
    uInt chunk = uInt(std::min<std::size_t>(count - produced, 0x40000000));
    s.Z.next_out = out + produced;
    s.Z.avail_out = chunk;
    int code = inflate(&s.Z, Z_NO_FLUSH);
    produced += chunk - s.Z.avail_out;
    if (code == Z_STREAM_END) {
      s.Done = true;
      // Give back what was read beyond the zlib stream.
      if (s.Z.avail_in > 0) {
        try {
          s.Stream.Seek(-std::int64_t(s.Z.avail_in), TSeekOrigin::soCurrent);
        } catch (const EStreamError&) {
          // A source that cannot go back keeps its position.
        }
        s.Z.avail_in = 0;
      }
    } else if (code != Z_OK && code != Z_BUF_ERROR) {
      if (code == Z_NEED_DICT) code = Z_DATA_ERROR;
      throw EDecompressionError(L"Decompression error: " + ZLibText(s.Z, code), code);
    }
  }
  s.Count += std::int64_t(produced);
  return produced;
}

std::size_t TDecompressionStream::Write(const void*, std::size_t) {
  throw EDecompressionError(L"Invalid stream operation", Z_STREAM_ERROR);
}

std::int64_t TDecompressionStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t target = origin == TSeekOrigin::soBeginning ? offset
                        : origin == TSeekOrigin::soCurrent ? FState->Count + offset
                                                           : -1;
  if (target < FState->Count) throw EDecompressionError(L"Invalid stream operation", Z_STREAM_ERROR);
  std::uint8_t skip[4096];
  while (FState->Count < target) {
    std::size_t n = Read(skip, std::size_t(std::min<std::int64_t>(target - FState->Count, sizeof skip)));
    if (n == 0) break;
  }
  return FState->Count;
}

std::int64_t TDecompressionStream::Size() { throw EDecompressionError(L"Invalid stream operation", Z_STREAM_ERROR); }

}  // namespace tvk
