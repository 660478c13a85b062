#include "log/LineReader.h"

#include <algorithm>

#include "log/PieceReader.h"

namespace {

constexpr std::size_t PieceSize = 64 * 1024;

// Of count bytes from offset on, those before textEnd.
std::size_t Within(std::int64_t offset, std::size_t count, std::int64_t textEnd) {
  return offset >= textEnd ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(count, static_cast<std::uint64_t>(textEnd - offset)));
}

}  // namespace

std::vector<TTextLine> TLineReader::Lines(std::int64_t first, std::int64_t count) {
  std::vector<TTextLine> lines;
  const std::int64_t lineCount = FIndex.LineCount();
  const std::int64_t textEnd = FIndex.TextEnd();
  first = std::max<std::int64_t>(first, 0);
  const std::int64_t last = std::min(lineCount, first + std::max<std::int64_t>(count, 0));
  if (first >= last) return lines;
  lines.reserve(static_cast<std::size_t>(last - first));
  TLineIndex::TEntry entry = FIndex.EntryAtLine(first);
  TLineIndex::TEntry next = FIndex.EntryAfterLine(entry.Line);
  std::int64_t start = entry.Offset;
  for (std::int64_t number = entry.Line; number < last; ++number) {
    if (next.Line <= number) next = FIndex.EntryAfterLine(number);
    const TTextLine line = LineFrom(number, start, next.Line == number + 1 ? next.Offset : -1, textEnd);
    if (number >= first) lines.push_back(line);
    start = line.Next;
  }
  return lines;
}

TTextLine TLineReader::LineAt(std::int64_t offset) {
  const std::int64_t lineCount = FIndex.LineCount();
  const std::int64_t textEnd = FIndex.TextEnd();
  TLineIndex::TEntry entry = FIndex.EntryAtOffset(offset);
  TTextLine line{entry.Line, entry.Offset, 0, entry.Offset};
  for (std::int64_t number = entry.Line; number < lineCount; ++number) {
    const TLineIndex::TEntry next = FIndex.EntryAfterLine(number);
    line = LineFrom(number, line.Next, next.Line == number + 1 ? next.Offset : -1, textEnd);
    if (line.Next > offset) break;
  }
  return line;
}

// The line that starts at `start`; knownNext: where the next one starts, -1 when unknown.
TTextLine TLineReader::LineFrom(std::int64_t number, std::int64_t start, std::int64_t knownNext, std::int64_t textEnd) {
  TTextLine line{number, start, 0, textEnd};
  if (knownNext >= 0) {
    line.Next = knownNext;
    line.Length = LengthBefore(start, knownNext);
    return line;
  }
  for (std::int64_t at = start; at < textEnd;) {
    const char* data = nullptr;
    const std::size_t n = Window(at, textEnd, data);
    if (n == 0) break;
    const char* brk = FBreaks->Next(data);
    if (brk < data + n) {
      const std::int64_t end = at + (brk - data);
      line.Length = end - start;
      char after = 0;
      if (*brk == '\r') {
        if (brk + 1 < data + n) after = brk[1];
        else if (end + 1 < textEnd) Read(end + 1, &after, 1, textEnd);
      }
      line.Next = end + (after == '\n' ? 2 : 1);
      return line;
    }
    at += static_cast<std::int64_t>(n);
  }
  line.Length = textEnd - start;  // the last line, without a line end
  return line;
}

// Length of the line from start whose line end closes right before next.
std::int64_t TLineReader::LengthBefore(std::int64_t start, std::int64_t next) {
  if (next <= start) {  // an index that does not fit the bytes: the file changed under it
    FCut = true;
    return 0;
  }
  char tail[2] = {};
  const std::int64_t from = std::max(start, next - 2);
  const auto n = static_cast<std::int64_t>(Read(from, tail, static_cast<std::size_t>(next - from), next));
  if (n == 0) return next - start;
  const char last = tail[n - 1];
  if (last == '\n') return next - start - (n == 2 && tail[0] == '\r' ? 2 : 1);
  if (last == '\r') return next - start - 1;
  return next - start;
}

// The window's bytes from `at` on; it is read anew from there when `at` lies outside it.
std::size_t TLineReader::Window(std::int64_t at, std::int64_t textEnd, const char*& data) {
  if (at < FWindowStart || at >= FWindowStart + static_cast<std::int64_t>(FWindowLength)) {
    FWindow.resize(PieceSize);
    FWindowStart = at;
    FWindowLength = 0;
    FWindowLength = Read(at, FWindow.data(), PieceSize, textEnd);
    FBreaks.emplace(FWindow.data(), FWindow.data() + FWindowLength);
  }
  const auto within = static_cast<std::size_t>(at - FWindowStart);
  data = FWindow.data() + within;
  return FWindowLength - within;
}

std::string TLineReader::Bytes(std::int64_t offset, std::size_t count) {
  const std::int64_t textEnd = FIndex.TextEnd();
  std::string bytes(Within(offset, count, textEnd), '\0');
  bytes.resize(Read(offset, bytes.data(), bytes.size(), textEnd));
  return bytes;
}

std::size_t TLineReader::Read(std::int64_t offset, char* dest, std::size_t count, std::int64_t textEnd) {
  count = Within(offset, count, textEnd);
  const std::size_t n = count == 0 ? 0 : FReader.ReadAt(offset, dest, count);
  if (n < count) FCut = true;
  return n;
}
