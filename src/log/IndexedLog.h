#pragma once
// A text file opened for viewing at any size: its line index, built in the background while
// the first lines are already shown, readers for the threads that show or search it, and the
// checks that tell a file that grew from one that was cut short or replaced.
//
// The index is fed by one build at a time (BuildIndex, on a worker thread); everything else
// may be called from any thread. Memory: the line index and, for compressed files, the
// checkpoints (GzipPieceReader.h); a build reads through one buffer of a MiB.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "log/GzipPieceReader.h"
#include "log/LineIndex.h"
#include "log/QelNewFile.h"

class TIndexedLog {
public:
  // Opens the file; raises the file layer's error naming it when it cannot be opened.
  explicit TIndexedLog(const std::string& fileName, std::int64_t checkpointSpan = TGzipCheckpoints::DefaultSpan);
  ~TIndexedLog();
  TIndexedLog(const TIndexedLog&) = delete;
  TIndexedLog& operator=(const TIndexedLog&) = delete;

  const std::string& FileName() const { return FFile.FileName(); }
  bool Compressed() const { return FCompressed; }
  const TLineIndex& Index() const { return FIndex; }

  // A reader of the file's text for one thread; it keeps the blocks it read last.
  std::unique_ptr<TPieceReader> NewReader();

  // Feeds the index from where it stopped to the end of the file as it is now; returns early
  // when cancel is set. Damaged compressed data ends the text at the last line end before it
  // and raises its error.
  void BuildIndex(const std::atomic<bool>& cancel);
  // True once a build has reached the end of the file (or damage), until a check finds that
  // the file has grown: no more lines come without another build.
  bool IndexComplete() const { return FComplete.load(); }
  // How far the build under way (or the last one) has gone through the file, 0 to 1.
  double BuildProgress() const;
  std::size_t MemoryBytes() const;

  enum class TChange { None, Grown, Cut, Replaced };
  // What became of the file under its name since the text was indexed: more bytes behind the
  // text, fewer than the text or other bytes at its end, or another file (or none) under the
  // name. A compressed file is taken as replaced when its size or time changed.
  TChange Check();

private:
  void KeepTail();

  TQelFile FFile;
  bool FCompressed = false;
  std::int64_t FDevice = 0;
  std::int64_t FInode = 0;
  std::int64_t FCompressedSize = 0;
  std::int64_t FModified = 0;
  TLineIndex FIndex;
  TGzipCheckpoints FCheckpoints;
  std::unique_ptr<TPieceReader> FBuildReader;
  std::atomic<bool> FComplete{false};
  std::atomic<std::int64_t> FBuildDone{0};   // bytes of the file gone through
  std::atomic<std::int64_t> FBuildTotal{0};
  // The last bytes of the text as the last build saw them, to recognise the file.
  mutable std::mutex FTailLock;
  std::string FTail;
  std::int64_t FTailEnd = 0;
};
