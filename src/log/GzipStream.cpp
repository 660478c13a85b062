#define _FILE_OFFSET_BITS 64

#include "log/GzipStream.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <exception>
#include <new>

#include "log/Inflater.h"
#include "log/QelNewFile.h"

namespace {

constexpr std::int32_t InputSize = 64 * 1024;
// Decoding into less room than this makes too many small steps.
constexpr std::int32_t MinOutputRoom = 16 * 1024;

}  // namespace

bool TGzipStream::IsGzip(int handle) {
  unsigned char magic[3] = {};
  ssize_t n;
  do {
    n = ::pread(handle, magic, sizeof magic, 0);
  } while (n < 0 && errno == EINTR);
  return n == 3 && magic[0] == 0x1f && magic[1] == 0x8b && magic[2] == 8;
}

TGzipStream::TGzipStream(int handle, std::string fileName, std::int32_t lookAhead)
    : FZ(std::make_unique<TInflater>()),
      FHandle(handle),
      FFileName(std::move(fileName)),
      FLookAhead(std::max(lookAhead, 1)),
      FIn(InputSize),
      FOut(static_cast<std::size_t>(FLookAhead) + 2 * MinOutputRoom) {
  LookAheadTo(FLookAhead);
}

TGzipStream::~TGzipStream() = default;

std::int64_t TGzipStream::KnownSize() const { return FDelivered + Ready() + (FFailure && Ready() == 0 ? 1 : 0); }

void TGzipStream::LookAheadTo(std::int64_t end) {
  const std::int64_t wanted = end - FDelivered;
  if (wanted <= Ready()) return;
  MakeRoom(static_cast<std::int32_t>(std::min<std::int64_t>(wanted, INT32_MAX / 2)));
  while (Ready() < wanted && !FEnded && !FFailure) Decode();
}

// Moves the ready bytes to the front and grows the buffer to hold `ready` bytes and a
// decoding step's room behind them.
void TGzipStream::MakeRoom(std::int32_t ready) {
  const std::size_t needed = static_cast<std::size_t>(ready) + MinOutputRoom;
  if (FOut.size() - static_cast<std::size_t>(FHead) >= needed) return;
  std::memmove(FOut.data(), FOut.data() + FHead, static_cast<std::size_t>(Ready()));
  FTail -= FHead;
  FHead = 0;
  if (FOut.size() < needed) FOut.resize(needed);
}

void TGzipStream::ReadAt(char* dest, std::int32_t count, std::int64_t offset) {
  if (offset < FDelivered) Restart();
  // Bytes before offset are decoded and dropped.
  while (FDelivered < offset || count > 0) {
    if (Ready() == 0) {
      LookAheadTo(FDelivered + FLookAhead);
      if (Ready() == 0) {
        if (FFailure) std::rethrow_exception(FFailure);
        throw EQelFileError("cannot read file \"" + FFileName + "\"");
      }
    }
    std::int32_t n = Ready();
    if (FDelivered < offset) {
      n = static_cast<std::int32_t>(std::min<std::int64_t>(n, offset - FDelivered));
    } else {
      n = std::min(n, count);
      std::memcpy(dest, FOut.data() + FHead, static_cast<std::size_t>(n));
      dest += n;
      count -= n;
    }
    FHead += n;
    FDelivered += n;
  }
  LookAheadTo(FDelivered + FLookAhead);
}

void TGzipStream::Restart() {
  inflateReset(&FZ->Z);
  FZ->Z.avail_in = 0;
  FHead = FTail = 0;
  FDelivered = 0;
  FInputOffset = 0;
  FInputEnded = FMemberEnded = FEnded = false;
  FFailure = nullptr;
}

bool TGzipStream::FillInput() {
  z_stream& z = FZ->Z;
  if (z.avail_in > 0) return true;
  if (FInputEnded) return false;
  ssize_t n;
  do {
    n = ::pread(FHandle, FIn.data(), FIn.size(), FInputOffset);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    Fail(std::make_exception_ptr(EQelFileError("cannot read file \"" + FFileName + "\"")));
    return false;
  }
  FInputOffset += n;
  FInputEnded = n == 0;
  z.next_in = reinterpret_cast<Bytef*>(FIn.data());
  z.avail_in = static_cast<uInt>(n);
  return n > 0;
}

// Some tools pad a gzip file with zeros after its last member; they end the data.
bool TGzipStream::AtTrailingZeros() {
  z_stream& z = FZ->Z;
  while (FillInput()) {
    if (z.next_in[0] != 0) return false;
    ++z.next_in;
    --z.avail_in;
  }
  return !FFailure;
}

void TGzipStream::Decode() {
  z_stream& z = FZ->Z;
  if (FMemberEnded) {
    if (!FillInput() || AtTrailingZeros()) {
      FEnded = !FFailure;
      return;
    }
    inflateReset(&z);
    FMemberEnded = false;
  }
  if (!FillInput()) {
    Fail("the compressed data ends too early");
    return;
  }
  MakeRoom(Ready());
  z.next_out = reinterpret_cast<Bytef*>(FOut.data() + FTail);
  z.avail_out = static_cast<uInt>(FOut.size() - static_cast<std::size_t>(FTail));
  const uInt room = z.avail_out;
  const int result = inflate(&z, Z_NO_FLUSH);
  FTail += static_cast<std::int32_t>(room - z.avail_out);
  switch (result) {
    case Z_OK:
    case Z_BUF_ERROR:  // no progress without more input: the next step reads it
      return;
    case Z_STREAM_END:
      FMemberEnded = true;
      return;
    case Z_MEM_ERROR:
      throw std::bad_alloc();
    default:
      Fail(std::string("the compressed data is damaged (") + (z.msg ? z.msg : "unknown error") + ")");
  }
}

void TGzipStream::Fail(const std::string& reason) {
  Fail(std::make_exception_ptr(EGzipDataError("cannot read file \"" + FFileName + "\": " + reason)));
}

// A line cut off by the failure is never handed out: the ready bytes end at the last line end.
void TGzipStream::Fail(std::exception_ptr failure) {
  if (FFailure) return;
  FFailure = std::move(failure);
  while (FTail > FHead && FOut[static_cast<std::size_t>(FTail) - 1] != '\n' && FOut[static_cast<std::size_t>(FTail) - 1] != '\r')
    --FTail;
}
