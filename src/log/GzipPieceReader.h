#pragma once
// Random access to the decoded bytes of a gzip-compressed file. Decoding can only go forward,
// so a reader that is asked for bytes behind it, or far ahead, starts again at the nearest
// checkpoint: a place where a deflate block begins (decoded and compressed offset, the bits
// of the byte before), with the 32 KiB of decoded text before it that the block may refer to.
// One reader, the one that goes through the whole file first, records the checkpoints; the
// others share them. With a checkpoint every 16 MiB of text, a jump decodes 8 MiB on average
// and the checkpoints hold 2 KiB per MiB of text.
//
// Files of several gzip members (and zeros after the last one) read as one text, as
// GzipStream.h reads them.
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "log/PieceReader.h"

class TGzipCheckpoints {
public:
  static constexpr std::int64_t DefaultSpan = 16 << 20;

  struct TPoint {
    std::int64_t Decoded = 0;
    std::int64_t Compressed = 0;  // offset of the first byte not read yet
    int Bits = 0;                 // of the byte before it that still belong to the block
    std::vector<unsigned char> Window;
  };

  explicit TGzipCheckpoints(std::int64_t span = DefaultSpan) : FSpan(span) {}

  std::int64_t Span() const { return FSpan; }
  // True when a checkpoint at that decoded offset would be kept: a span behind the last one.
  bool Wants(std::int64_t decoded) const;
  void Add(TPoint point);
  // The decoded offset of the last checkpoint at or before `decoded`; 0 (the file's start)
  // when there is none.
  std::int64_t Before(std::int64_t decoded) const;
  // A copy of the checkpoint at exactly that decoded offset.
  TPoint At(std::int64_t decoded) const;
  std::size_t MemoryBytes() const;

private:
  mutable std::mutex FLock;
  std::int64_t FSpan;
  std::vector<TPoint> FPoints;  // ascending
};

struct TInflater;

class TGzipPieceReader : public TPieceReader {
public:
  // handle is not owned; record: this reader adds the checkpoints it passes.
  TGzipPieceReader(int handle, std::string fileName, TGzipCheckpoints& checkpoints, bool record);
  ~TGzipPieceReader() override;
  TGzipPieceReader(const TGzipPieceReader&) = delete;
  TGzipPieceReader& operator=(const TGzipPieceReader&) = delete;

  std::size_t ReadAt(std::int64_t offset, char* dest, std::size_t count) override;
  // Compressed bytes read so far.
  std::int64_t CompressedOffset() const;

private:
  void StartAt(std::int64_t decoded);
  std::size_t Decode(char* dest, std::size_t count);
  bool FillInput();
  bool NextMember();
  void Record(std::int64_t decoded);
  [[noreturn]] void Damaged(const std::string& reason);

  std::unique_ptr<TInflater> FZ;
  int FHandle;
  std::string FFileName;
  TGzipCheckpoints& FCheckpoints;
  bool FRecord;
  std::vector<unsigned char> FIn;
  std::vector<char> FSkip;           // where skipped bytes are decoded to
  std::int64_t FInputOffset = 0;     // of the byte behind those read into FIn
  std::int64_t FDecoded = 0;         // decoded offset of the next byte
  bool FRaw = false;                 // started at a checkpoint: no gzip header or trailer seen
  bool FBetweenMembers = false;
  bool FEnded = false;
  bool FStarted = false;
  std::exception_ptr FFailure;       // raised once the bytes before it are handed out
};
