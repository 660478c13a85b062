#pragma once
// Finds lines of an indexed text by number or by offset, for one thread: from the index's
// nearest entry it reads on through a piece reader to the line wanted. Thanks to the index's
// rules (LineIndex.h) that reads fewer than 64 lines and about a MiB at most; a line's end is
// taken from the next entry where there is one, so a line of gigabytes is never read to
// find where the next one begins.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/LineIndex.h"

class TPieceReader;

struct TTextLine {
  std::int64_t Number = 0;
  std::int64_t Start = 0;
  std::int64_t Length = 0;  // without the line end
  std::int64_t Next = 0;    // start of the next line: behind the line end
};

class TLineReader {
public:
  TLineReader(const TLineIndex& index, TPieceReader& reader) : FIndex(index), FReader(reader) {}

  // The lines from `first` on, at most count of them, as far as the index knows lines.
  std::vector<TTextLine> Lines(std::int64_t first, std::int64_t count);
  // The line that holds the byte at offset (or, at the text's end, the last line).
  TTextLine LineAt(std::int64_t offset);
  // Up to count bytes from offset on, within the text the index knows.
  std::string Bytes(std::int64_t offset, std::size_t count);
  // True once a read came back shorter than the index says the text is: the file was cut.
  bool Cut() const { return FCut; }

private:
  TTextLine LineFrom(std::int64_t number, std::int64_t start, std::int64_t knownNext, std::int64_t textEnd);
  std::int64_t LengthBefore(std::int64_t start, std::int64_t next);
  std::size_t Window(std::int64_t at, std::int64_t textEnd, const char*& data);
  std::size_t Read(std::int64_t offset, char* dest, std::size_t count, std::int64_t textEnd);

  const TLineIndex& FIndex;
  TPieceReader& FReader;
  // The bytes read last, scanned for line breaks by one scanner across the lines in them.
  std::vector<char> FWindow;
  std::int64_t FWindowStart = 0;
  std::size_t FWindowLength = 0;
  std::optional<TBreakScanner> FBreaks;
  bool FCut = false;
};
