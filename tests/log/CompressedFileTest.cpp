// Files whose content is gzip data read as the text they hold, through every reader.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "log/QelNewFile.h"
#include "support/GzipBytes.h"
#include "support/TestSupport.h"

using testsupport::GzipBytes;
using testsupport::TTempDir;
using testsupport::WriteBytes;

namespace {

// Random lines with every kind of line end, some of them long, and no end on the last.
std::string RandomText(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  const char* const ends[] = {"\n", "\r\n", "\r"};
  const char alphabet[] = "abc ,.:/\t-0123456789\"[]";
  std::string bytes;
  while (bytes.size() < size) {
    const auto length = random() % 50 == 0 ? 3000 + random() % 990 : random() % 120;
    for (auto n = length; n > 0; --n) bytes += alphabet[random() % (sizeof alphabet - 1)];
    bytes += ends[random() % 3];
  }
  return bytes + "no line end";
}

struct TReadResult {
  std::vector<std::string> Lines;
  std::vector<std::int64_t> Positions;
  bool Compressed = false;
};

TReadResult ReadLines(const std::string& path, std::int32_t bufferSize) {
  TQelBufferedFile file;
  file.BufferSize = bufferSize;
  file.SetFileName(path);
  file.Open(omReadExisting);
  TReadResult result;
  result.Compressed = file.Compressed();
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    result.Lines.push_back(line);
    result.Positions.push_back(file.GetPosition());
  }
  file.Close();
  return result;
}

std::string ReadAllBytes(const std::string& path, std::int32_t chunk) {
  TQelBufferedFile file;
  file.SetFileName(path);
  file.Open(omReadExisting);
  std::string text, part(static_cast<std::size_t>(chunk), '\0');
  while (const std::int32_t n = file.ReadSome(part.data(), chunk)) text.append(part, 0, static_cast<std::size_t>(n));
  EXPECT_TRUE(file.Eof());
  file.Close();
  return text;
}

}  // namespace

// The content decides, not the name: rotated logs keep their lines whatever they are called.
TEST(CompressedFile, ReadsLikeThePlainTextWhateverTheName) {
  TTempDir dir;
  const std::string text = RandomText(1500000, 7);
  const std::string plain = dir.File("access.log");
  WriteBytes(plain, text);
  struct TCase {
    std::string Name;
    std::string Bytes;
    bool Compressed;
  };
  const TCase cases[] = {
      {"access.log.2.gz", GzipBytes(text), true},
      {"access.log", GzipBytes(text, 1), true},  // a plain name with gzip content
      {"plain.log.1.gz", text, false},           // a .gz name with plain content
      // Concatenated members, as "cat a.gz b.gz" makes them; a member may end mid-line.
      {"joined.gz", GzipBytes(text.substr(0, 700001)) + GzipBytes(text.substr(700001, 3)) + GzipBytes(text.substr(700004)),
       true},
      {"padded.gz", GzipBytes(text) + std::string(1000, '\0'), true},
  };
  for (const std::int32_t bufferSize : {4096, 256 * 1024}) {
    const TReadResult expected = ReadLines(plain, bufferSize);
    for (const TCase& c : cases) {
      SCOPED_TRACE(c.Name + " / " + std::to_string(bufferSize));
      const std::string path = dir.File(c.Name);
      WriteBytes(path, c.Bytes);
      const TReadResult read = ReadLines(path, bufferSize);
      EXPECT_EQ(read.Compressed, c.Compressed);
      EXPECT_EQ(read.Lines, expected.Lines);
      EXPECT_EQ(read.Positions, expected.Positions);
    }
  }
  EXPECT_EQ(ReadAllBytes(dir.File("joined.gz"), 1 << 20), text);
  EXPECT_EQ(ReadAllBytes(dir.File("access.log.2.gz"), 1000), text);
}

TEST(CompressedFile, EmptyContentAndShortFiles) {
  TTempDir dir;
  WriteBytes(dir.File("empty.gz"), GzipBytes(""));
  WriteBytes(dir.File("magic-only.log"), "\x1f\x8b");  // too short to be gzip: plain text
  EXPECT_TRUE(ReadLines(dir.File("empty.gz"), 4096).Lines.empty());
  EXPECT_EQ(ReadLines(dir.File("magic-only.log"), 4096).Lines, std::vector<std::string>{"\x1f\x8b"});
}

// Going back starts the decoding again; skipping a line works however long it is.
TEST(CompressedFile, PositionsBackAndOverlongLines) {
  TTempDir dir;
  const std::string text = "first\n" + std::string(9000, 'x') + "\r\nsecond\n";
  WriteBytes(dir.File("a.gz"), GzipBytes(text));
  WriteBytes(dir.File("a.log"), text);
  for (const char* name : {"a.gz", "a.log"}) {
    SCOPED_TRACE(name);
    TQelBufferedFile file;
    file.SetFileName(dir.File(name));
    file.Open(omReadExisting);
    std::string line;
    file.ReadLine(line);
    EXPECT_THROW(file.ReadLine(line), EQelFileError);
    file.SkipLine();
    file.ReadLine(line);
    EXPECT_EQ(line, "second");
    EXPECT_TRUE(file.Eof());
    file.SetPosition(0);
    file.ReadLine(line);
    EXPECT_EQ(line, "first");
    file.Close();
  }
}

// Damage ends reading with an error naming the file, after every line before it; it never
// reads as a short file.
TEST(CompressedFile, DamagedDataRaisesAnErrorNamingTheFile) {
  TTempDir dir;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + " of a rotated log\n";
  const std::string good = GzipBytes(text);
  std::string badCrc = good;
  badCrc[badCrc.size() - 6] ^= 0x55;  // in the CRC-32 of the trailer
  std::string badLength = good;
  badLength[badLength.size() - 2] ^= 0x01;
  std::string badData = good;
  for (std::size_t i = good.size() / 2; i < good.size() / 2 + 40; ++i) badData[i] = static_cast<char>(0xff);
  std::string badHeader = good;
  badHeader[3] = static_cast<char>(0xe0);  // reserved flag bits

  struct TCase {
    std::string Name;
    std::string Bytes;
    std::string Reason;
    std::size_t MinLines;  // lines that must come before the error
    bool Intact = true;    // false: damaged bytes may decode to wrong text before the error
  };
  const TCase cases[] = {
      {"cut.gz", good.substr(0, good.size() / 2), "the compressed data ends too early", 1000},
      {"cut-trailer.gz", good.substr(0, good.size() - 4), "the compressed data ends too early", 20000},
      {"crc.gz", badCrc, "the compressed data is damaged (incorrect data check)", 20000},
      {"length.gz", badLength, "the compressed data is damaged (incorrect length check)", 20000},
      {"data.gz", badData, "the compressed data is damaged", 1000, false},
      {"header.gz", badHeader, "the compressed data is damaged", 0},
      {"garbage.gz", good + "trailing text\n", "the compressed data is damaged (incorrect header check)", 20000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = dir.File(c.Name);
    WriteBytes(path, c.Bytes);
    TQelBufferedFile file;
    file.BufferSize = 64 * 1024;
    file.SetFileName(path);
    file.Open(omReadExisting);
    std::size_t lines = 0;
    std::string line;
    try {
      while (!file.Eof()) {
        file.ReadLine(line);
        // Whole lines only, in order: the line the damage cuts is not handed out.
        if (c.Intact) {
          ASSERT_EQ(line, "line " + std::to_string(lines) + " of a rotated log");
        }
        ++lines;
      }
      ADD_FAILURE() << "no error after " << lines << " lines";
    } catch (const EGzipDataError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("cannot read file \"" + path + "\": " + c.Reason, 0), 0u) << e.what();
    }
    EXPECT_GE(lines, c.MinLines);
    EXPECT_LE(lines, 20000u);
    // The error stays: reading on raises it again.
    EXPECT_THROW(file.ReadLine(line), EGzipDataError);
    file.Close();
  }
}
