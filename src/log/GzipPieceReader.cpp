#define _FILE_OFFSET_BITS 64

#include "log/GzipPieceReader.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <new>

#include "log/Inflater.h"
#include "log/QelNewFile.h"

namespace {

constexpr std::size_t InputSize = 64 * 1024;
constexpr std::size_t SkipSize = 64 * 1024;
constexpr unsigned WindowSize = 32 * 1024;
constexpr int TrailerSize = 8;

}  // namespace

bool TGzipCheckpoints::Wants(std::int64_t decoded) const {
  const std::lock_guard lock(FLock);
  return decoded >= (FPoints.empty() ? 0 : FPoints.back().Decoded) + FSpan;
}

void TGzipCheckpoints::Add(TPoint point) {
  const std::lock_guard lock(FLock);
  if (point.Decoded >= (FPoints.empty() ? 0 : FPoints.back().Decoded) + FSpan) FPoints.push_back(std::move(point));
}

std::int64_t TGzipCheckpoints::Before(std::int64_t decoded) const {
  const std::lock_guard lock(FLock);
  const auto after = std::upper_bound(FPoints.begin(), FPoints.end(), decoded,
                                      [](std::int64_t value, const TPoint& p) { return value < p.Decoded; });
  return after == FPoints.begin() ? 0 : (after - 1)->Decoded;
}

TGzipCheckpoints::TPoint TGzipCheckpoints::At(std::int64_t decoded) const {
  const std::lock_guard lock(FLock);
  const auto found = std::lower_bound(FPoints.begin(), FPoints.end(), decoded,
                                      [](const TPoint& p, std::int64_t value) { return p.Decoded < value; });
  return found != FPoints.end() && found->Decoded == decoded ? *found : TPoint{};
}

std::size_t TGzipCheckpoints::MemoryBytes() const {
  const std::lock_guard lock(FLock);
  std::size_t bytes = FPoints.capacity() * sizeof(TPoint);
  for (const TPoint& p : FPoints) bytes += p.Window.capacity();
  return bytes;
}

TGzipPieceReader::TGzipPieceReader(int handle, std::string fileName, TGzipCheckpoints& checkpoints, bool record)
    : FZ(std::make_unique<TInflater>()),
      FHandle(handle),
      FFileName(std::move(fileName)),
      FCheckpoints(checkpoints),
      FRecord(record),
      FIn(InputSize) {}

TGzipPieceReader::~TGzipPieceReader() = default;

std::int64_t TGzipPieceReader::CompressedOffset() const { return FInputOffset - FZ->Z.avail_in; }

std::size_t TGzipPieceReader::ReadAt(std::int64_t offset, char* dest, std::size_t count) {
  const std::int64_t checkpoint = FCheckpoints.Before(offset);
  // Behind the stream, after a failure, or a checkpoint nearer than the stream: start again.
  if (!FStarted || offset < FDecoded || FFailure || checkpoint > FDecoded) StartAt(checkpoint);
  while (FDecoded < offset) {
    if (FSkip.empty()) FSkip.resize(SkipSize);
    const auto n = Decode(FSkip.data(), static_cast<std::size_t>(std::min<std::int64_t>(SkipSize, offset - FDecoded)));
    if (n == 0) return 0;
  }
  std::size_t done = 0;
  // A failure is raised with the next read, once the bytes before it are handed out.
  while (done < count && !(FFailure && done > 0)) {
    const std::size_t n = Decode(dest + done, count - done);
    if (n == 0) break;
    done += n;
  }
  return done;
}

// Positions the stream at a checkpoint, or at the file's start for 0.
void TGzipPieceReader::StartAt(std::int64_t decoded) {
  z_stream& z = FZ->Z;
  FFailure = nullptr;
  FBetweenMembers = FEnded = false;
  z.avail_in = 0;
  FStarted = true;
  TGzipCheckpoints::TPoint point;
  if (decoded > 0) point = FCheckpoints.At(decoded);
  if (point.Decoded == 0) {
    inflateReset2(&z, TInflater::GzipWindowBits);
    FRaw = false;
    FInputOffset = 0;
    FDecoded = 0;
    return;
  }
  inflateReset2(&z, TInflater::RawWindowBits);
  FRaw = true;
  FInputOffset = point.Compressed;
  if (point.Bits > 0) {
    // The block begins inside the byte before: its last bits are fed first.
    unsigned char byte = 0;
    ssize_t n;
    do {
      n = ::pread(FHandle, &byte, 1, static_cast<off_t>(point.Compressed - 1));
    } while (n < 0 && errno == EINTR);
    if (n != 1) throw EQelFileError("cannot read file \"" + FFileName + "\"");
    inflatePrime(&z, point.Bits, byte >> (8 - point.Bits));
  }
  inflateSetDictionary(&z, point.Window.data(), static_cast<uInt>(point.Window.size()));
  FDecoded = point.Decoded;
}

bool TGzipPieceReader::FillInput() {
  z_stream& z = FZ->Z;
  if (z.avail_in > 0) return true;
  ssize_t n;
  do {
    n = ::pread(FHandle, FIn.data(), FIn.size(), static_cast<off_t>(FInputOffset));
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw EQelFileError("cannot read file \"" + FFileName + "\"");
  FInputOffset += n;
  z.next_in = FIn.data();
  z.avail_in = static_cast<uInt>(n);
  return n > 0;
}

// After a member: steps over its trailer when the reader started inside it, then over zeros
// that pad the file; true when another member follows.
bool TGzipPieceReader::NextMember() {
  z_stream& z = FZ->Z;
  for (int trailer = FRaw ? TrailerSize : 0; trailer > 0;) {
    if (!FillInput()) Damaged("the compressed data ends too early");
    const int n = std::min<int>(trailer, static_cast<int>(z.avail_in));
    z.next_in += n;
    z.avail_in -= static_cast<uInt>(n);
    trailer -= n;
  }
  FRaw = false;
  while (FillInput()) {
    if (z.next_in[0] != 0) {
      inflateReset2(&z, TInflater::GzipWindowBits);
      return true;
    }
    ++z.next_in;
    --z.avail_in;
  }
  return false;
}

// Decodes up to count bytes into dest; 0 at the end of the data. A failure after some bytes
// is raised at the next call, so that those bytes are handed out.
std::size_t TGzipPieceReader::Decode(char* dest, std::size_t count) {
  z_stream& z = FZ->Z;
  if (FFailure) std::rethrow_exception(FFailure);
  z.next_out = reinterpret_cast<Bytef*>(dest);
  z.avail_out = static_cast<uInt>(std::min<std::size_t>(count, UINT_MAX));
  const uInt room = z.avail_out;
  try {
    while (z.avail_out > 0 && !FEnded) {
      if (FBetweenMembers) {
        FBetweenMembers = false;
        if (!NextMember()) {
          FEnded = true;
          break;
        }
      }
      if (!FillInput()) Damaged("the compressed data ends too early");
      const int result = inflate(&z, FRecord ? Z_BLOCK : Z_NO_FLUSH);
      if (result == Z_STREAM_END) {
        FBetweenMembers = true;
      } else if (result == Z_MEM_ERROR) {
        throw std::bad_alloc();
      } else if (result != Z_OK && result != Z_BUF_ERROR) {
        Damaged(std::string("the compressed data is damaged (") + (z.msg ? z.msg : "unknown error") + ")");
      } else if (FRecord && (z.data_type & 128) && !(z.data_type & 64)) {
        // Between two blocks of a member, not after its last one.
        Record(FDecoded + (room - z.avail_out));
      }
    }
  } catch (...) {
    if (z.avail_out == room) throw;
    FFailure = std::current_exception();
  }
  const std::size_t produced = room - z.avail_out;
  FDecoded += static_cast<std::int64_t>(produced);
  return produced;
}

void TGzipPieceReader::Record(std::int64_t decoded) {
  if (!FCheckpoints.Wants(decoded)) return;
  TGzipCheckpoints::TPoint point;
  point.Decoded = decoded;
  point.Compressed = CompressedOffset();
  point.Bits = FZ->Z.data_type & 7;
  point.Window.resize(WindowSize);
  uInt length = WindowSize;
  if (inflateGetDictionary(&FZ->Z, point.Window.data(), &length) != Z_OK) return;
  point.Window.resize(length);
  point.Window.shrink_to_fit();
  FCheckpoints.Add(std::move(point));
}

void TGzipPieceReader::Damaged(const std::string& reason) {
  throw EGzipDataError("cannot read file \"" + FFileName + "\": " + reason);
}
