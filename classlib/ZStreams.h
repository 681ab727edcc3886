#pragma once
// zlib compression streams: a stream that compresses what is written to it
// into another stream, and one that decompresses what it reads from another.
// The data is a zlib stream (two-byte header, deflate data, Adler-32 trailer).
#include "Streams.h"

#include <memory>

namespace tvk {

class EZLibError : public EStreamError {
public:
  EZLibError(const WideString& message, int code) : EStreamError(message), FCode(code) {}
  // zlib's error code (Z_DATA_ERROR: the bytes are no zlib stream).
  int Code() const noexcept { return FCode; }

private:
  int FCode;
};
class ECompressionError : public EZLibError { public: using EZLibError::EZLibError; };
class EDecompressionError : public EZLibError { public: using EZLibError::EZLibError; };

enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

// Compresses into Dest. Finish (or the destructor) writes the rest and the trailer.
class TCompressionStream : public TStream {
public:
  TVK_CLASS(TCompressionStream, TStream)
  TCompressionStream(TCompressionLevel level, TStream& dest);
  ~TCompressionStream() override;
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  // Only the position (the count of bytes written) can be asked.
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void Finish();

private:
  struct State;
  std::unique_ptr<State> FState;
};

// Decompresses from Source, which it reads from its position. Once the zlib
// stream has ended, Source stands right after it where Source can seek.
class TDecompressionStream : public TStream {
public:
  TVK_CLASS(TDecompressionStream, TStream)
  explicit TDecompressionStream(TStream& source);
  ~TDecompressionStream() override;
  // Raises EDecompressionError for data that is no valid zlib stream or ends early.
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  // The position, and moves forward (by reading).
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override;

private:
  struct State;
  std::unique_ptr<State> FState;
};

}  // namespace tvk
