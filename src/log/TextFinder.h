#pragma once
// Looks for a text in an indexed log, a piece at a time: forward from an offset to the end of
// the text, waiting for the index while it is still being built, or backward from an offset
// to the start. Pieces overlap by the length of the text less one byte, so that a hit across
// two pieces is found; a hit never spans a line end, as the text holds none. Without "match
// case" the letters A to Z match either case; every other byte matches only itself. Memory:
// one piece.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class TIndexedLog;
class TPieceReader;

struct TFindRequest {
  std::string Text;
  bool MatchCase = false;
  bool Forward = true;
  // Forward: hits that start here or later; backward: hits that start before it.
  std::int64_t From = 0;
};

class TTextFinder {
public:
  static constexpr std::size_t DefaultPiece = 4 << 20;

  explicit TTextFinder(std::size_t pieceSize = DefaultPiece) : FPieceSize(pieceSize) {}

  // The offset of the hit, -1 when there is none or cancel was set. A text with a line end
  // or none at all finds nothing.
  std::int64_t Find(const TIndexedLog& log, TPieceReader& reader, const TFindRequest& request,
                    const std::atomic<bool>& cancel);
  // How far the search under way has come, 0 to 1 (for another thread).
  double Progress() const { return FProgress.load(std::memory_order_relaxed); }

private:
  std::int64_t Forward(const TIndexedLog& log, TPieceReader& reader, std::int64_t from, const std::atomic<bool>& cancel);
  std::int64_t Backward(const TIndexedLog& log, TPieceReader& reader, std::int64_t from, const std::atomic<bool>& cancel);
  std::size_t ReadPiece(TPieceReader& reader, std::int64_t offset, std::size_t count);

  std::size_t FPieceSize;
  std::string FText;  // folded when case does not matter
  bool FMatchCase = false;
  std::vector<char> FPiece;
  std::atomic<double> FProgress{0};
};
