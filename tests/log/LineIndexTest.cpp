// The sparse line index and the line reader against a plain split of the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "log/LineIndex.h"
#include "log/LineReader.h"
#include "log/PieceReader.h"

namespace {

struct TRefLine {
  std::int64_t Start;
  std::int64_t Length;
};

// Lines as a simple byte-by-byte scan sees them.
std::vector<TRefLine> ReferenceLines(const std::string& text) {
  std::vector<TRefLine> lines;
  std::size_t start = 0, i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '\n' && c != '\r') {
      ++i;
      continue;
    }
    lines.push_back({static_cast<std::int64_t>(start), static_cast<std::int64_t>(i - start)});
    i += c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    start = i;
  }
  if (start < text.size()) lines.push_back({static_cast<std::int64_t>(start), static_cast<std::int64_t>(text.size() - start)});
  return lines;
}

// The bytes of a string, counting how many were read.
class TStringReader : public TPieceReader {
public:
  explicit TStringReader(const std::string& text) : FText(text) {}
  std::size_t ReadAt(std::int64_t offset, char* dest, std::size_t count) override {
    if (offset >= static_cast<std::int64_t>(FText.size())) return 0;
    const std::size_t n = std::min(count, FText.size() - static_cast<std::size_t>(offset));
    std::memcpy(dest, FText.data() + offset, n);
    BytesRead += n;
    return n;
  }
  std::size_t BytesRead = 0;

private:
  const std::string& FText;
};

// Random lines with every kind of line end, NUL bytes among the text, some lines long.
std::string RandomText(std::size_t size, unsigned seed, std::size_t longLine = 3000) {
  std::mt19937 random(seed);
  const char* const ends[] = {"\n", "\r\n", "\r", "\n\r"};
  const char alphabet[] = "abcXYZ ,.:/\t-0123\"";
  std::string bytes;
  while (bytes.size() < size) {
    const std::size_t length = random() % 40 == 0 ? longLine + random() % 990 : random() % 120;
    for (auto n = length; n > 0; --n) bytes += random() % 97 == 0 ? '\0' : alphabet[random() % (sizeof alphabet - 1)];
    bytes += ends[random() % 4];
  }
  return bytes;
}

std::unique_ptr<TLineIndex> IndexOf(const std::string& text, std::size_t piece) {
  auto index = std::make_unique<TLineIndex>();
  for (std::size_t at = 0; at < text.size(); at += piece) index->Add(text.data() + at, std::min(piece, text.size() - at));
  return index;
}

void ExpectSameLines(const std::string& text, const TLineIndex& index) {
  const auto reference = ReferenceLines(text);
  ASSERT_EQ(index.LineCount(), static_cast<std::int64_t>(reference.size()));
  ASSERT_EQ(index.TextEnd(), static_cast<std::int64_t>(text.size()));
  std::int64_t longest = 0;
  for (const auto& line : reference) longest = std::max(longest, line.Length);
  EXPECT_EQ(index.LongestLine(), longest);
  TStringReader bytes(text);
  TLineReader reader(index, bytes);
  const auto lines = reader.Lines(0, index.LineCount() + 5);
  ASSERT_EQ(lines.size(), reference.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].Number, static_cast<std::int64_t>(i));
    ASSERT_EQ(lines[i].Start, reference[i].Start) << "line " << i;
    ASSERT_EQ(lines[i].Length, reference[i].Length) << "line " << i;
    const std::int64_t next = i + 1 < reference.size() ? reference[i + 1].Start : static_cast<std::int64_t>(text.size());
    ASSERT_EQ(lines[i].Next, next) << "line " << i;
  }
  // Lines asked for one at a time, and the line of every byte, take the same from the index.
  std::mt19937 random(7);
  for (int k = 0; k < 200 && !reference.empty(); ++k) {
    const auto i = random() % reference.size();
    const auto one = reader.Lines(static_cast<std::int64_t>(i), 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].Start, reference[i].Start);
    const std::int64_t offset = reference[i].Start + static_cast<std::int64_t>(random() % (reference[i].Length + 1));
    if (offset < static_cast<std::int64_t>(text.size())) {
      EXPECT_EQ(reader.LineAt(offset).Number, static_cast<std::int64_t>(i));
    }
  }
  EXPECT_FALSE(reader.Cut());
}

}  // namespace

TEST(LineIndex, CountsLinesAsAPlainScanForEveryLineEndAndPieceSize) {
  const std::vector<std::string> texts = {
      "",       "a",          "a\n",     "a\r\n",    "a\r",        "\n",          "\r\n\r\n", "\r\r\n",
      "a\n\rb", std::string("x\0y\nz\0", 7), "\n\n\n", "one\ntwo", "a\r\nb\rc\nd", RandomText(200000, 1)};
  for (const std::string& text : texts) {
    for (const std::size_t piece : {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(64), std::size_t(1) << 20}) {
      SCOPED_TRACE("text of " + std::to_string(text.size()) + " bytes in pieces of " + std::to_string(piece));
      ExpectSameLines(text, *IndexOf(text, piece));
    }
  }
}

TEST(LineIndex, StaysSparseAndNeverReadsALongLineToFindTheNext) {
  // Short lines: an entry per 64 lines, well under a byte per line.
  std::string shortLines;
  for (int i = 0; i < 100000; ++i) shortLines += "line " + std::to_string(i) + "\n";
  EXPECT_LT(IndexOf(shortLines, 1 << 20)->MemoryBytes(), 100000u);

  // Lines of megabytes among short ones: each line is found without reading the long ones.
  std::string text = RandomText(3000000, 2, 1500000);
  ExpectSameLines(text, *IndexOf(text, 1 << 20));
  const auto reference = ReferenceLines(text);
  const auto index = IndexOf(text, 1 << 20);
  for (std::size_t i = 0; i < reference.size(); i += 7) {
    TStringReader bytes(text);
    TLineReader reader(*index, bytes);
    ASSERT_EQ(reader.Lines(static_cast<std::int64_t>(i), 1).at(0).Start, reference[i].Start);
    ASSERT_LE(bytes.BytesRead, std::size_t(TLineIndex::EntryBytes) + 64 * 1024 + 2) << "line " << i;
  }
}

TEST(LineIndex, DropsALineCutOffByDamage) {
  TLineIndex index;
  index.Add("one\r\ntwo\r\nthr", 13);
  EXPECT_EQ(index.LineCount(), 3);
  index.DropUnendedLine();
  EXPECT_EQ(index.LineCount(), 2);
  EXPECT_EQ(index.TextEnd(), 10);
}

TEST(LineIndex, CachedReaderReadsGrownBytesAgain) {
  std::string text = "abc";
  TCachedPieceReader cached(std::make_unique<TStringReader>(text));
  char out[8] = {};
  EXPECT_EQ(cached.ReadAt(0, out, 8), 3u);
  text += "defg";
  EXPECT_EQ(cached.ReadAt(1, out, 8), 6u);
  EXPECT_EQ(std::string(out, 6), "bcdefg");
  // Across blocks.
  std::string big(300000, 'x');
  big[200000] = 'y';
  TCachedPieceReader blocks(std::make_unique<TStringReader>(big));
  std::string piece(100, '\0');
  EXPECT_EQ(blocks.ReadAt(199950, piece.data(), 100), 100u);
  EXPECT_EQ(piece.find('y'), 50u);
}
