#define _FILE_OFFSET_BITS 64

#include "log/IndexedLog.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "log/GzipStream.h"

namespace {

constexpr std::size_t BuildPiece = 1 << 20;
constexpr std::size_t TailSize = 64;

struct TFileState {
  bool Exists = false;
  std::int64_t Device = 0, Inode = 0, Size = 0, Modified = 0;
};

TFileState StateOf(const struct stat& info) {
  return {true, static_cast<std::int64_t>(info.st_dev), static_cast<std::int64_t>(info.st_ino),
          static_cast<std::int64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

TFileState StateOfName(const std::string& name) {
  struct stat info {};
  return ::stat(name.c_str(), &info) == 0 ? StateOf(info) : TFileState{};
}

}  // namespace

TIndexedLog::TIndexedLog(const std::string& fileName, std::int64_t checkpointSpan) : FCheckpoints(checkpointSpan) {
  FFile.SetFileName(fileName);
  FFile.Open(omReadExisting);
  struct stat info {};
  if (::fstat(FFile.Handle(), &info) != 0) throw EQelFileError("cannot open file " + fileName);
  const TFileState state = StateOf(info);
  FDevice = state.Device;
  FInode = state.Inode;
  FCompressedSize = state.Size;
  FModified = state.Modified;
  FCompressed = TGzipStream::IsGzip(FFile.Handle());
  if (FCompressed) {
    FBuildReader = std::make_unique<TGzipPieceReader>(FFile.Handle(), fileName, FCheckpoints, true);
  } else {
    FBuildReader = std::make_unique<TPlainPieceReader>(FFile.Handle(), fileName);
  }
}

TIndexedLog::~TIndexedLog() = default;

std::unique_ptr<TPieceReader> TIndexedLog::NewReader() {
  std::unique_ptr<TPieceReader> source;
  if (FCompressed) {
    source = std::make_unique<TGzipPieceReader>(FFile.Handle(), FileName(), FCheckpoints, false);
  } else {
    source = std::make_unique<TPlainPieceReader>(FFile.Handle(), FileName());
  }
  return std::make_unique<TCachedPieceReader>(std::move(source));
}

void TIndexedLog::BuildIndex(const std::atomic<bool>& cancel) {
  struct stat info {};
  FBuildTotal = ::fstat(FFile.Handle(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
  std::vector<char> piece(BuildPiece);
  try {
    while (!cancel.load(std::memory_order_relaxed)) {
      const std::size_t n = FBuildReader->ReadAt(FIndex.TextEnd(), piece.data(), piece.size());
      if (n == 0) {
        KeepTail();
        FComplete = true;
        return;
      }
      FIndex.Add(piece.data(), n);
      FBuildDone = FCompressed ? static_cast<TGzipPieceReader&>(*FBuildReader).CompressedOffset() : FIndex.TextEnd();
    }
  } catch (const EGzipDataError&) {
    FIndex.DropUnendedLine();
    FComplete = true;
    throw;
  }
}

double TIndexedLog::BuildProgress() const {
  const std::int64_t total = FBuildTotal.load();
  return total <= 0 ? 1.0 : std::min(1.0, static_cast<double>(FBuildDone.load()) / static_cast<double>(total));
}

std::size_t TIndexedLog::MemoryBytes() const { return FIndex.MemoryBytes() + FCheckpoints.MemoryBytes(); }

void TIndexedLog::KeepTail() {
  if (FCompressed) return;
  const std::int64_t end = FIndex.TextEnd();
  const std::int64_t from = std::max<std::int64_t>(0, end - static_cast<std::int64_t>(TailSize));
  std::string tail(static_cast<std::size_t>(end - from), '\0');
  tail.resize(FBuildReader->ReadAt(from, tail.data(), tail.size()));
  const std::lock_guard lock(FTailLock);
  FTail = std::move(tail);
  FTailEnd = from + static_cast<std::int64_t>(FTail.size());
}

TIndexedLog::TChange TIndexedLog::Check() {
  const TFileState now = StateOfName(FileName());
  if (!now.Exists || now.Device != FDevice || now.Inode != FInode) return TChange::Replaced;
  if (FCompressed) return now.Size == FCompressedSize && now.Modified == FModified ? TChange::None : TChange::Replaced;
  std::string tail;
  std::int64_t tailEnd = 0;
  {
    const std::lock_guard lock(FTailLock);
    tail = FTail;
    tailEnd = FTailEnd;
  }
  if (now.Size < FIndex.TextEnd() || now.Size < tailEnd) return TChange::Cut;
  // Cut short and written again (copied away and truncated) to more than it was.
  std::string seen(tail.size(), '\0');
  TPlainPieceReader reader(FFile.Handle(), FileName());
  seen.resize(reader.ReadAt(tailEnd - static_cast<std::int64_t>(tail.size()), seen.data(), seen.size()));
  if (seen != tail) return TChange::Cut;
  if (now.Size == FIndex.TextEnd()) return TChange::None;
  FComplete = false;
  return TChange::Grown;
}
