// Logs opened for viewing: plain and compressed, growing, cut short, replaced, damaged.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "log/IndexedLog.h"
#include "log/LineReader.h"
#include "support/GzipBytes.h"
#include "support/TestSupport.h"

using testsupport::GzipBytes;
using testsupport::TTempDir;
using testsupport::WriteBytes;

namespace {

std::string NumberedLines(int count, const std::string& end = "\n", int from = 0) {
  std::string text;
  for (int i = from; i < from + count; ++i) text += "line " + std::to_string(i) + " of the log" + end;
  return text;
}

void Build(TIndexedLog& log) {
  const std::atomic<bool> cancel{false};
  log.BuildIndex(cancel);
}

// Every line's text through a fresh reader: screens of 50 lines in a random order of jumps.
std::vector<std::string> TextsOf(TIndexedLog& log, unsigned seed) {
  auto pieces = log.NewReader();
  TLineReader reader(log.Index(), *pieces);
  const std::int64_t count = log.Index().LineCount();
  std::vector<std::string> texts(static_cast<std::size_t>(count));
  std::vector<std::int64_t> screens;
  for (std::int64_t i = 0; i < count; i += 50) screens.push_back(i);
  std::shuffle(screens.begin(), screens.end(), std::mt19937(seed));
  for (const std::int64_t first : screens) {
    for (const TTextLine& line : reader.Lines(first, 50))
      texts[static_cast<std::size_t>(line.Number)] = reader.Bytes(line.Start, static_cast<std::size_t>(line.Length));
  }
  return texts;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(line);
      line.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void Append(const std::string& path, const std::string& bytes) {
  WriteBytes(path, testsupport::ReadBytes(path) + bytes);
}

}  // namespace

TEST(IndexedLog, MissingFileGivesTheFileError) {
  TTempDir dir;
  const std::string path = dir.File("missing.log");
  try {
    TIndexedLog log(path);
    FAIL() << "no error";
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
  }
}

// Two members, zeros behind the last, checkpoints every 64 KiB: jumps anywhere read the
// same lines as the plain text, also behind the reader and across the members.
TEST(IndexedLog, CompressedLogJumpsFromCheckpoints) {
  TTempDir dir;
  const std::string first = NumberedLines(30000, "\r\n"), second = NumberedLines(20000, "\n", 30000);
  const std::string path = dir.File("access.log.2.gz");
  WriteBytes(path, GzipBytes(first) + GzipBytes(second, 1) + std::string(16, '\0'));
  TIndexedLog log(path, 64 * 1024);
  EXPECT_TRUE(log.Compressed());
  Build(log);
  EXPECT_EQ(log.Index().LineCount(), 50000);
  EXPECT_GT(log.MemoryBytes(), 10u * 1024);  // checkpoints were kept
  EXPECT_EQ(TextsOf(log, 3), Split(first + second));
  EXPECT_DOUBLE_EQ(log.BuildProgress(), 1.0);
  EXPECT_EQ(log.Check(), TIndexedLog::TChange::None);
}

TEST(IndexedLog, DamagedCompressedLogEndsAtTheLastWholeLine) {
  TTempDir dir;
  const std::string text = NumberedLines(40000);
  const std::string bytes = GzipBytes(text);
  const std::string path = dir.File("cut.log.gz");
  WriteBytes(path, bytes.substr(0, bytes.size() / 2));
  TIndexedLog log(path, 64 * 1024);
  try {
    Build(log);
    FAIL() << "no error for damaged data";
  } catch (const EGzipDataError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
  }
  const auto texts = TextsOf(log, 4);
  ASSERT_GT(texts.size(), 1000u);
  const auto whole = Split(text);
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(texts[i], whole[i]);
}

TEST(IndexedLog, GrowingLogIsReadOnFromWhereTheIndexStopped) {
  TTempDir dir;
  const std::string path = dir.File("live.log");
  WriteBytes(path, "a\r");
  TIndexedLog log(path);
  Build(log);
  EXPECT_EQ(log.Index().LineCount(), 1);
  EXPECT_EQ(log.Check(), TIndexedLog::TChange::None);
  Append(path, "\nbb\nc");  // the LF completes the CR LF; "c" has no line end yet
  EXPECT_EQ(log.Check(), TIndexedLog::TChange::Grown);
  Build(log);
  Append(path, "cc\n" + NumberedLines(200));
  Build(log);
  EXPECT_EQ(TextsOf(log, 5), Split("a\r\nbb\nccc\n" + NumberedLines(200)));
}

TEST(IndexedLog, CutOrReplacedLogIsNoticed) {
  TTempDir dir;
  const std::string path = dir.File("access.log");
  const std::string text = NumberedLines(5000);
  WriteBytes(path, text);
  {
    TIndexedLog log(path);
    Build(log);
    ASSERT_EQ(::truncate(path.c_str(), 100), 0);
    EXPECT_EQ(log.Check(), TIndexedLog::TChange::Cut);
    // Reading what is gone reads short and says so; nothing faults.
    auto pieces = log.NewReader();
    TLineReader reader(log.Index(), *pieces);
    const TTextLine last = reader.Lines(4999, 1).at(0);
    EXPECT_TRUE(reader.Bytes(last.Start, 10).empty());
    EXPECT_TRUE(reader.Cut());
  }
  {
    // Copied away and truncated, then written again beyond the old size.
    WriteBytes(path, text);
    TIndexedLog log(path);
    Build(log);
    std::string other = NumberedLines(6000, "\n", 1);
    ASSERT_EQ(::truncate(path.c_str(), 0), 0);
    Append(path, other);
    EXPECT_EQ(log.Check(), TIndexedLog::TChange::Cut);
  }
  {
    WriteBytes(path, text);
    TIndexedLog log(path);
    Build(log);
    const std::string rotated = dir.File("new.log");
    WriteBytes(rotated, text + text);
    std::filesystem::rename(rotated, path);
    EXPECT_EQ(log.Check(), TIndexedLog::TChange::Replaced);
    std::filesystem::remove(path);
    EXPECT_EQ(log.Check(), TIndexedLog::TChange::Replaced);
    // The open file still reads as it was.
    EXPECT_EQ(TextsOf(log, 6).back(), "line 4999 of the log");
  }
}

TEST(IndexedLog, CancelledBuildGoesOnLater) {
  TTempDir dir;
  const std::string path = dir.File("access.log");
  WriteBytes(path, NumberedLines(100000));
  TIndexedLog log(path);
  const std::atomic<bool> cancel{true};
  log.BuildIndex(cancel);
  EXPECT_EQ(log.Index().LineCount(), 0);
  EXPECT_FALSE(log.IndexComplete());
  Build(log);
  EXPECT_EQ(log.Index().LineCount(), 100000);
  EXPECT_TRUE(log.IndexComplete());
}
