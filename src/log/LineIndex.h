#pragma once
// The line starts of a text of any size, kept sparse so that the index of a log of gigabytes
// stays small: an entry (line number and offset of its start) at every 64th line, and at the
// first line start once a MiB has passed since the last entry. Any line start then lies fewer
// than 64 lines and, but for the one line before the next entry, less than a MiB behind an
// entry. An entry is 16 bytes: a quarter byte per line for lines shorter than 16 KiB on
// average, 16 bytes per MiB of text where they are longer.
//
// Lines end at CR LF, LF or a lone CR; a line end at the very end of the text adds no line.
// NUL and every other byte are text. One thread feeds the bytes in order (Add) while others
// read what is known so far: counts, entries and the longest line are published together at
// the end of each Add, under a lock held only for the copy.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

// Finds the line breaks (CR or LF) of a buffer one after the other: going forward, each byte
// is looked at once however the two kinds are mixed.
class TBreakScanner {
public:
  TBreakScanner(const char* begin, const char* end);
  // The first CR or LF at or after from, or end.
  const char* Next(const char* from);

private:
  // The first c in [From, At), or At == end when there is none.
  struct TFound {
    const char* From;
    const char* At;
  };
  const char* NextOf(TFound& found, const char* from, char c) const;

  const char* FEnd;
  TFound FLF;
  TFound FCR;
};

class TLineIndex {
public:
  struct TEntry {
    std::int64_t Line = 0;
    std::int64_t Offset = 0;
  };
  static constexpr std::int64_t EntryLines = 64;
  static constexpr std::int64_t EntryBytes = 1 << 20;

  TLineIndex();

  // The next bytes of the text, which continue those fed before.
  void Add(const char* data, std::size_t count);
  // Ends the text at the start of its last line when that line has no line end yet: a line
  // cut off by damaged content is not shown. Nothing may be added afterwards.
  void DropUnendedLine();

  std::int64_t LineCount() const;  // so far, a last line without line end included
  std::int64_t TextEnd() const;    // bytes of the text so far
  std::int64_t LongestLine() const;
  // The entry at or before a line (or an offset); line 0 at offset 0 when nothing is known.
  TEntry EntryAtLine(std::int64_t line) const;
  TEntry EntryAtOffset(std::int64_t offset) const;
  // The first entry behind a line; {LineCount(), TextEnd()} when there is none.
  TEntry EntryAfterLine(std::int64_t line) const;
  std::size_t MemoryBytes() const;

private:
  void LineStartsAt(std::int64_t offset);
  void Publish();

  // The feeding thread's own state.
  std::int64_t FFed = 0;
  std::int64_t FEndedLines = 0;
  std::int64_t FLineStart = 0;  // of the line being fed
  std::int64_t FLongest = 0;    // of the ended lines
  bool FPendingCR = false;      // the last byte fed was a CR; an LF may follow
  TEntry FLastEntry;
  std::vector<TEntry> FFresh;   // entries not published yet

  // What readers see.
  mutable std::mutex FLock;
  std::deque<TEntry> FEntries;  // grows in small blocks, never copied or doubled
  std::int64_t FLineCount = 0;
  std::int64_t FTextEnd = 0;
  std::int64_t FLongestLine = 0;
};
