#include "log/LineIndex.h"

#include <algorithm>
#include <cstring>

namespace {

const char* Find(const char* from, const char* end, char c) {
  const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return found != nullptr ? static_cast<const char*>(found) : end;
}

}  // namespace

TBreakScanner::TBreakScanner(const char* begin, const char* end)
    : FEnd(end), FLF{begin, Find(begin, end, '\n')}, FCR{begin, Find(begin, end, '\r')} {}

const char* TBreakScanner::NextOf(TFound& found, const char* from, char c) const {
  if (from < found.From || from > found.At) found = {from, Find(from, FEnd, c)};
  return found.At;
}

const char* TBreakScanner::Next(const char* from) { return std::min(NextOf(FLF, from, '\n'), NextOf(FCR, from, '\r')); }

TLineIndex::TLineIndex() { FEntries.push_back(FLastEntry); }

void TLineIndex::Add(const char* data, std::size_t count) {
  const char* p = data;
  const char* const end = data + count;
  const std::int64_t base = FFed;
  if (FPendingCR && p < end) {
    FPendingCR = false;
    if (*p == '\n') ++p;
    LineStartsAt(base + (p - data));
  }
  TBreakScanner breaks(p, end);
  for (const char* brk; (brk = breaks.Next(p)) != end;) {
    FLongest = std::max(FLongest, base + (brk - data) - FLineStart);
    ++FEndedLines;
    if (*brk == '\r' && brk + 1 == end) {
      // Whether an LF follows is known with the next bytes; the next line starts behind it.
      FPendingCR = true;
      FLineStart = base + static_cast<std::int64_t>(count);
      break;
    }
    p = brk + (*brk == '\r' && brk[1] == '\n' ? 2 : 1);
    LineStartsAt(base + (p - data));
  }
  FFed += static_cast<std::int64_t>(count);
  Publish();
}

void TLineIndex::LineStartsAt(std::int64_t offset) {
  FLineStart = offset;
  if (FEndedLines - FLastEntry.Line >= EntryLines || offset - FLastEntry.Offset >= EntryBytes) {
    FLastEntry = {FEndedLines, offset};
    FFresh.push_back(FLastEntry);
  }
}

void TLineIndex::DropUnendedLine() {
  FFed = std::min(FFed, FLineStart);
  Publish();
}

void TLineIndex::Publish() {
  const std::lock_guard lock(FLock);
  FEntries.insert(FEntries.end(), FFresh.begin(), FFresh.end());
  FLineCount = FEndedLines + (FLineStart < FFed ? 1 : 0);
  FTextEnd = FFed;
  FLongestLine = std::max(FLongest, FFed - std::min(FFed, FLineStart));
  FFresh.clear();
}

std::int64_t TLineIndex::LineCount() const {
  const std::lock_guard lock(FLock);
  return FLineCount;
}

std::int64_t TLineIndex::TextEnd() const {
  const std::lock_guard lock(FLock);
  return FTextEnd;
}

std::int64_t TLineIndex::LongestLine() const {
  const std::lock_guard lock(FLock);
  return FLongestLine;
}

TLineIndex::TEntry TLineIndex::EntryAtLine(std::int64_t line) const {
  const std::lock_guard lock(FLock);
  const auto after = std::upper_bound(FEntries.begin(), FEntries.end(), line,
                                      [](std::int64_t value, const TEntry& entry) { return value < entry.Line; });
  return after == FEntries.begin() ? FEntries.front() : *(after - 1);
}

TLineIndex::TEntry TLineIndex::EntryAtOffset(std::int64_t offset) const {
  const std::lock_guard lock(FLock);
  const auto after = std::upper_bound(FEntries.begin(), FEntries.end(), offset,
                                      [](std::int64_t value, const TEntry& entry) { return value < entry.Offset; });
  return after == FEntries.begin() ? FEntries.front() : *(after - 1);
}

TLineIndex::TEntry TLineIndex::EntryAfterLine(std::int64_t line) const {
  const std::lock_guard lock(FLock);
  const auto after = std::upper_bound(FEntries.begin(), FEntries.end(), line,
                                      [](std::int64_t value, const TEntry& entry) { return value < entry.Line; });
  if (after == FEntries.end() || after->Line >= FLineCount) return {FLineCount, FTextEnd};
  return *after;
}

std::size_t TLineIndex::MemoryBytes() const {
  const std::lock_guard lock(FLock);
  // The deque's blocks of 512 bytes and its map of them.
  const std::size_t blocks = FEntries.size() * sizeof(TEntry) / 512 + 1;
  return sizeof(*this) + blocks * (512 + sizeof(void*)) + FFresh.capacity() * sizeof(TEntry);
}
