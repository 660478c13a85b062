#include "log/TextFinder.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "log/IndexedLog.h"

namespace {

char FoldAZ(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// FoldAZ over a buffer, eight bytes at a time: a byte's top bit is set where it lies in A to Z
// (sums of its low seven bits that cannot carry into the next byte), and 0x20 is added there.
void FoldAZ(char* data, std::size_t size) {
  constexpr std::uint64_t Ones = 0x0101010101010101, Tops = 0x8080808080808080, Low7 = 0x7f7f7f7f7f7f7f7f;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, data + i, 8);
    const std::uint64_t low = word & Low7;
    const std::uint64_t upper = ((low + Ones * (0x80 - 'A')) ^ (low + Ones * (0x80 - 'Z' - 1))) & ~word & Tops;
    word |= upper >> 2;
    std::memcpy(data + i, &word, 8);
  }
  for (; i < size; ++i) data[i] = FoldAZ(data[i]);
}

// The last place in [data, data + size) where text starts, or null.
const char* FindLast(const char* data, std::size_t size, const std::string& text) {
  if (size < text.size()) return nullptr;
  const char first = text[0];
  for (const char* limit = data + (size - text.size() + 1); limit > data;) {
    const auto* at = static_cast<const char*>(::memrchr(data, first, static_cast<std::size_t>(limit - data)));
    if (at == nullptr) return nullptr;
    if (std::memcmp(at, text.data(), text.size()) == 0) return at;
    limit = at;
  }
  return nullptr;
}

}  // namespace

std::int64_t TTextFinder::Find(const TIndexedLog& log, TPieceReader& reader, const TFindRequest& request,
                               const std::atomic<bool>& cancel) {
  FProgress = 0;
  if (request.Text.empty() || request.Text.find_first_of("\r\n") != std::string::npos) return -1;
  FMatchCase = request.MatchCase;
  FText = request.Text;
  if (!FMatchCase) FoldAZ(FText.data(), FText.size());
  FPiece.resize(std::max(FPieceSize, 2 * FText.size()));
  const std::int64_t hit = request.Forward ? Forward(log, reader, request.From, cancel) : Backward(log, reader, request.From, cancel);
  FProgress = 1;
  return hit;
}

std::int64_t TTextFinder::Forward(const TIndexedLog& log, TPieceReader& reader, std::int64_t from,
                                  const std::atomic<bool>& cancel) {
  const auto length = static_cast<std::int64_t>(FText.size());
  std::int64_t at = std::max<std::int64_t>(from, 0);
  while (!cancel.load(std::memory_order_relaxed)) {
    const bool complete = log.IndexComplete();  // before the end is read: no bytes are missed
    const std::int64_t end = log.Index().TextEnd();
    if (end > from) FProgress = static_cast<double>(at - from) / static_cast<double>(end - from);
    if (at + length > end) {
      if (complete) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    const auto count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(FPiece.size()), end - at));
    const std::size_t n = ReadPiece(reader, at, count);
    if (n < count) return -1;  // the file was cut meanwhile
    if (const void* hit = ::memmem(FPiece.data(), n, FText.data(), FText.size()))
      return at + (static_cast<const char*>(hit) - FPiece.data());
    at += static_cast<std::int64_t>(n) - length + 1;
  }
  return -1;
}

std::int64_t TTextFinder::Backward(const TIndexedLog& log, TPieceReader& reader, std::int64_t from,
                                   const std::atomic<bool>& cancel) {
  const auto length = static_cast<std::int64_t>(FText.size());
  // Bytes up to here may hold a hit that starts before `from`.
  std::int64_t end = std::min(from - 1 + length, log.Index().TextEnd());
  const std::int64_t range = std::max<std::int64_t>(end, 1);
  while (end >= length && !cancel.load(std::memory_order_relaxed)) {
    const std::int64_t start = std::max<std::int64_t>(0, end - static_cast<std::int64_t>(FPiece.size()));
    const std::size_t n = ReadPiece(reader, start, static_cast<std::size_t>(end - start));
    if (const char* hit = FindLast(FPiece.data(), n, FText)) return start + (hit - FPiece.data());
    if (start == 0) break;
    end = start + length - 1;
    FProgress = 1.0 - static_cast<double>(end) / static_cast<double>(range);
  }
  return -1;
}

std::size_t TTextFinder::ReadPiece(TPieceReader& reader, std::int64_t offset, std::size_t count) {
  const std::size_t n = reader.ReadAt(offset, FPiece.data(), count);
  if (!FMatchCase) FoldAZ(FPiece.data(), n);
  return n;
}
