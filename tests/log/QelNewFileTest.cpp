#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "log/QelNewFile.h"
#include "support/TestSupport.h"

using testsupport::ReadBytes;
using testsupport::TTempDir;
using testsupport::WriteBytes;

namespace {

constexpr TFileOpenMode omReadWriteNew = omCreate | omAlways | omRead | omWrite;

void ExpectFileError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const EQelFileError& e) {
    EXPECT_EQ(e.what(), message);
  }
}

std::vector<std::string> ReadAllLines(TQelBufferedFile& file) {
  std::vector<std::string> lines;
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ReadAllLines(const std::string& path, std::int32_t bufferSize = 4096) {
  TQelBufferedFile file;
  file.BufferSize = bufferSize;
  file.SetFileName(path);
  file.Open(omReadExisting);
  auto lines = ReadAllLines(file);
  file.Close();
  return lines;
}

}  // namespace

TEST(QelBufferedFile, SplitsLinesAtEveryLineEndAndTrimsTrailingBlanks) {
  struct TCase {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const TCase cases[] = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\nb\r\n", {"a", "b"}},
      {"a\r\n\r\n\n\rb\r", {"a", "", "", "", "b"}},
      {"  x  \t\n   \n\t\x01z", {"  x", "", "\t\x01z"}},
      {"\r", {""}},
      {"", {}},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    WriteBytes(dir.File("log"), c.bytes);
    EXPECT_EQ(ReadAllLines(dir.File("log")), c.lines);
  }
}

TEST(QelBufferedFile, ReadingAtTheEnd) {
  TTempDir dir;
  WriteBytes(dir.File("log"), "only\n");
  TQelBufferedFile file;
  file.SetFileName(dir.File("log"));
  file.Open(omReadExisting);
  std::string s;
  file.ReadLine(s);
  EXPECT_EQ(s, "only");
  EXPECT_TRUE(file.Eof());
  file.ReadLine(s);
  EXPECT_EQ(s, "");
  EXPECT_EQ(file.GetPosition(), 5);
  ExpectFileError([&] { file.ReadString(s, 1); },
                  "cannot read file \"" + dir.File("log") + "\"");
}

// The first window of the default buffer ends with a CR; what follows it decides the next line.
TEST(QelBufferedFile, CrClosingTheBufferWindow) {
  struct TCase {
    std::string tail;
    std::vector<std::string> lines;
  };
  const std::string first(100, 'x');
  const std::string second(3994, 'y');
  const TCase cases[] = {
      {"\nnext", {first, second, "next"}},
      {"next\n", {first, second, "next"}},
      {"\r\n", {first, second, ""}},
      {"", {first, second}},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.tail));
    const std::string bytes = first + "\n" + second + "\r" + c.tail;
    ASSERT_EQ(bytes[4095], '\r');
    WriteBytes(dir.File("log"), bytes);
    EXPECT_EQ(ReadAllLines(dir.File("log")), c.lines);
  }
}

// Random lines with every kind of line end, compared line by line and position by position
// with a plain splitter, through buffers of several sizes.
TEST(QelBufferedFile, ReadsRandomTextLikeAPlainSplitter) {
  std::mt19937 random(20240611);
  const char* const ends[] = {"\n", "\r\n", "\r"};
  const char alphabet[] = "abc ,.:/\t-0123456789";
  std::string bytes;
  while (bytes.size() < 600000) {
    for (auto n = random() % 41; n > 0; --n) bytes += alphabet[random() % (sizeof alphabet - 1)];
    bytes += ends[random() % 3];
  }
  bytes += "no line end";

  std::vector<std::string> expectedLines;
  std::vector<std::int64_t> expectedPositions;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t e = std::min(bytes.find_first_of("\r\n", i), bytes.size());
    std::string line = bytes.substr(i, e - i);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32) line.pop_back();
    i = e == bytes.size() ? e : e + 1;
    if (bytes[e] == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
    expectedLines.push_back(line);
    expectedPositions.push_back(static_cast<std::int64_t>(i));
  }

  TTempDir dir;
  WriteBytes(dir.File("log"), bytes);
  for (const std::int32_t bufferSize : {64, 4096, 256 * 1024}) {
    SCOPED_TRACE(bufferSize);
    TQelBufferedFile file;
    file.BufferSize = bufferSize;
    file.MaxLineLength = std::min(4000, bufferSize - 2);
    file.SetFileName(dir.File("log"));
    file.Open(omReadExisting);
    std::string line;
    for (std::size_t i = 0; i < expectedLines.size(); ++i) {
      ASSERT_FALSE(file.Eof()) << "line " << i;
      file.ReadLine(line);
      ASSERT_EQ(line, expectedLines[i]) << "line " << i;
      ASSERT_EQ(file.GetPosition(), expectedPositions[i]) << "line " << i;
    }
    EXPECT_TRUE(file.Eof());
    file.Close();
  }
}

// A file seen through mapped windows must read exactly as one copied into the buffer, by every
// kind of read and wherever a window ends. The copying reader is the reference.
TEST(QelBufferedFile, MappedWindowsReadWhatCopiesRead) {
  std::mt19937 random(20261210);
  const char* const ends[] = {"\n", "\n", "\n", "\r\n", "\r"};
  const char alphabet[] = "abc #,.:/\t-0123456789";
  std::string bytes;
  while (bytes.size() < 300000) {
    for (auto n = random() % 61; n > 0; --n) bytes += alphabet[random() % (sizeof alphabet - 1)];
    bytes += ends[random() % std::size(ends)];
  }
  TTempDir dir;
  WriteBytes(dir.File("log"), bytes);
  const auto size = static_cast<std::int64_t>(bytes.size());

  for (const std::int32_t window : {1, 8192, 4 * 1024 * 1024}) {
    SCOPED_TRACE(window);
    TQelBufferedFile copied, mapped;
    for (TQelBufferedFile* file : {&copied, &mapped}) {
      file->BufferSize = 4096;
      file->MaxLineLength = 200;
      file->MapWindow = file == &mapped ? window : 0;
      file->SetFileName(dir.File("log"));
      file->Open(omReadExisting);
    }
    std::string a, b;
    for (int step = 0; step < 4000; ++step) {
      const auto position = copied.GetPosition();
      const auto op = random() % 6;
      SCOPED_TRACE(op);
      switch (op) {
        case 0: {
          const auto to = static_cast<std::int64_t>(random() % (bytes.size() + 1));
          copied.SetPosition(to);
          mapped.SetPosition(to);
          break;
        }
        case 1: {
          const auto count = static_cast<std::int32_t>(std::min<std::int64_t>(random() % 9000, size - position));
          copied.ReadString(a, count);
          mapped.ReadString(b, count);
          ASSERT_EQ(a, b) << step;
          break;
        }
        case 2:
          if (copied.Eof()) break;
          copied.ReadLine(a);
          mapped.ReadLine(b);
          ASSERT_EQ(a, b) << step;
          break;
        case 3:
          copied.SkipLine();
          mapped.SkipLine();
          break;
        case 4: {
          // The windows differ, and so may the lines counted at once; each reader must count
          // exactly the lines it steps over.
          for (TQelBufferedFile* file : {&copied, &mapped}) {
            const auto from = file->GetPosition();
            const auto tally = file->CountBufferedLines('#');
            const std::string_view passed = std::string_view(bytes).substr(
                static_cast<std::size_t>(from), static_cast<std::size_t>(file->GetPosition() - from));
            EXPECT_EQ(tally.Lines, std::count(passed.begin(), passed.end(), '\n')) << step;
            EXPECT_EQ(passed.find('\r'), std::string_view::npos) << step;
            std::int64_t kept = 0;
            for (std::size_t i = 0; i < passed.size(); i = passed.find('\n', i) + 1)
              kept += passed[i] != '#' && passed.find_first_not_of(" \t\n", i) < passed.find('\n', i);
            EXPECT_EQ(tally.Kept, kept) << step;
          }
          mapped.SetPosition(copied.GetPosition());
          break;
        }
        default: {
          std::string c(100, '\0'), d(100, '\0');
          ASSERT_EQ(copied.ReadSome(c.data(), 100), mapped.ReadSome(d.data(), 100));
          ASSERT_EQ(c, d) << step;
        }
      }
      ASSERT_EQ(copied.GetPosition(), mapped.GetPosition()) << step << " from " << position;
      ASSERT_EQ(copied.Eof(), mapped.Eof()) << step;
    }
    copied.Close();
    mapped.Close();
  }
}

// A log cut short while it is read (rotated by copying and emptying it) must end the reading
// with an error, not with the crash that touching the lost pages of a mapping would cause.
TEST(QelBufferedFile, AMappedFileCutShortWhileReadGivesAnError) {
  TTempDir dir;
  std::string bytes;
  while (bytes.size() < 2000000) bytes += "line " + std::to_string(bytes.size()) + " of the log\n";
  WriteBytes(dir.File("log"), bytes);
  TQelBufferedFile file;
  file.BufferSize = 256 * 1024;
  file.MapWindow = 4 * 1024 * 1024;
  file.SetFileName(dir.File("log"));
  file.Open(omReadExisting);
  std::string line;
  file.ReadLine(line);
  ASSERT_EQ(::truncate(dir.File("log").c_str(), 0), 0);
  try {
    while (!file.Eof()) file.ReadLine(line);
    ADD_FAILURE() << "the cut went unnoticed";
  } catch (const EUnreadableContentError& e) {
    EXPECT_EQ(e.what(), "cannot read file \"" + dir.File("log") + "\": it was cut short while it was read");
  }
  file.Close();
}

TEST(QelBufferedFile, LineLengthLimitLeavesPositionAtTheOverlongLine) {
  TTempDir dir;
  const std::string longest(4000, 'a');
  WriteBytes(dir.File("log"), "first\n" + longest + "\r\n" + std::string(4001, 'b') + "\nlast");
  for (const std::int32_t bufferSize : {4096, 256 * 1024}) {
    SCOPED_TRACE(bufferSize);
    TQelBufferedFile file;
    file.BufferSize = bufferSize;
    file.SetFileName(dir.File("log"));
    file.Open(omReadExisting);
    std::string s;
    file.ReadLine(s);
    file.ReadLine(s);
    EXPECT_EQ(s, longest);
    const std::int64_t lineStart = file.GetPosition();
    EXPECT_EQ(lineStart, 6 + 4002);
    for (int attempt = 0; attempt < 2; ++attempt) {
      ExpectFileError([&] { file.ReadLine(s); },
                      "line longer than max line length in file \"" + dir.File("log") + "\"");
      EXPECT_EQ(file.GetPosition(), lineStart);
    }
    file.SetPosition(lineStart + 4002);
    file.ReadLine(s);
    EXPECT_EQ(s, "last");
    file.Close();
  }
}

TEST(QelBufferedFile, OverlongLastLineWithoutLineEndIsRefused) {
  TTempDir dir;
  WriteBytes(dir.File("log"), std::string(4001, 'b'));
  TQelBufferedFile file;
  file.SetFileName(dir.File("log"));
  file.Open(omReadExisting);
  std::string s;
  EXPECT_THROW(file.ReadLine(s), EQelFileError);
  EXPECT_EQ(file.GetPosition(), 0);
}

TEST(QelBufferedFile, ReadLineKeepsTheStringsStorage) {
  TTempDir dir;
  WriteBytes(dir.File("log"), "a fairly long first line\nshort\n\nx\n");
  TQelBufferedFile file;
  file.SetFileName(dir.File("log"));
  file.Open(omReadExisting);
  std::string s;
  s.reserve(100);
  const char* storage = s.data();
  while (!file.Eof()) {
    file.ReadLine(s);
    EXPECT_EQ(s.data(), storage);
  }
}

TEST(QelBufferedFile, ReportsMisuseAndSystemFailures) {
  TTempDir dir;
  const std::string path = dir.File("log");
  const std::string missing = dir.File("missing");
  WriteBytes(path, "x\n");
  TQelBufferedFile open;
  open.SetFileName(path);
  open.Open(omReadExisting);
  TQelBufferedFile closed;
  closed.SetFileName(path);
  std::string s;

  ExpectFileError([&] { open.SetFileName(missing); }, "file \"" + path + "\" not closed");
  EXPECT_EQ(open.FileName(), path);
  ExpectFileError([&] { open.Open(omReadExisting); }, "file \"" + path + "\" not closed");
  ExpectFileError([&] { open.Erase(); }, "file \"" + path + "\" not closed");
  ExpectFileError([&] { closed.ReadLine(s); }, "file \"" + path + "\" not open");
  ExpectFileError([&] { closed.Eof(); }, "file \"" + path + "\" not open");
  ExpectFileError([&] { closed.WriteLine("x"); }, "file \"" + path + "\" not open");
  ExpectFileError([&] { closed.Close(); }, "file \"" + path + "\" not open");

  // The system's reason follows the name.
  const std::tuple<std::string, TFileOpenMode, const char*> refusedOpens[] = {
      {missing, omReadExisting, "No such file or directory"},
      {path, omCreate | omWrite, "File exists"},  // must be new
      {dir.Path().string(), omReadExisting, "Is a directory"},
      {dir.File("no-folder/log"), omWriteNew, "No such file or directory"},
      {"/dev/null", omReadExisting, "it is a device or a pipe, not a plain file"},
  };
  for (const auto& [name, mode, reason] : refusedOpens) {
    TQelBufferedFile file;
    file.SetFileName(name);
    ExpectFileError([&] { file.Open(mode); }, "cannot open file " + name + ": " + reason);
    EXPECT_FALSE(file.Opened());
  }

  TQelBufferedFile unnamed;
  ExpectFileError([&] { unnamed.Open(omReadExisting); }, "cannot open file \"\"");
  ExpectFileError([&] { unnamed.Erase(); }, "cannot erase file \"\"");
  TQelBufferedFile gone;
  gone.SetFileName(missing);
  ExpectFileError([&] { gone.Erase(); }, "cannot erase file \"" + missing + "\": No such file or directory");

  TQelBufferedFile cramped;
  cramped.SetFileName(path);
  cramped.MaxLineLength = 4095;
  ExpectFileError([&] { cramped.Open(omReadExisting); },
                  "max line length exceeds buffer capacity at file \"" + path + "\"");
  cramped.MaxLineLength = 4094;
  cramped.Open(omReadExisting);
}

TEST(QelBufferedFile, WriteLineDropsTrailingBlanksAndEndsWithCrLf) {
  TTempDir dir;
  TQelBufferedFile file;
  file.SetFileName(dir.File("out"));
  file.Open(omWriteNew);
  file.WriteLine("abc  ");
  EXPECT_EQ(file.GetPosition(), 5);
  file.Close();
  EXPECT_EQ(ReadBytes(dir.File("out")), "abc\r\n");
}

TEST(QelBufferedFile, WriteNewTruncatesAndAppendStartsAtTheEnd) {
  TTempDir dir;
  const std::string path = dir.File("out");
  WriteBytes(path, "old content\r\n");
  TQelBufferedFile file;
  file.SetFileName(path);
  file.Open(omWriteNew);
  EXPECT_EQ(file.GetSize(), 0);
  file.WriteLine("one");
  file.Close();

  file.Open(omAppend);
  EXPECT_EQ(file.GetPosition(), 5);
  EXPECT_TRUE(file.Eof());
  file.WriteString("two");
  file.WriteLine("");
  file.Close();
  EXPECT_EQ(ReadBytes(path), "one\r\ntwo\r\n");

  file.SetFileName(dir.File("new"));
  file.Open(omAppend);
  file.WriteLine("created");
  file.Close();
  EXPECT_EQ(ReadBytes(dir.File("new")), "created\r\n");
}

// Random writes, reads, seeks and size changes against a string holding the expected bytes:
// covers windows, direct transfers past the buffer and overwrites inside the file. Line ends
// are written now and then, and lines read, so that line ends the reader has seen are
// overwritten or cut off.
TEST(QelBufferedFile, RandomTransfersMatchAModel) {
  struct TSetup {
    std::int32_t bufferSize;
    TFileOpenMode extra;
  };
  const TSetup setups[] = {{64, 0}, {4096, 0}, {4096, omFullBuffer}, {4096, omSequential}};
  TTempDir dir;
  for (const auto& setup : setups) {
    SCOPED_TRACE(testing::Message() << setup.bufferSize << " " << setup.extra);
    std::mt19937 random(7);
    std::string model;
    std::int64_t position = 0;
    TQelBufferedFile file;
    file.BufferSize = setup.bufferSize;
    file.MaxLineLength = setup.bufferSize - 2;
    file.SetFileName(dir.File("data"));
    file.Open(omReadWriteNew | setup.extra);
    for (int step = 0; step < 3000; ++step) {
      const auto maxCount = random() % 4 == 0 ? 10000u : 100u;
      const auto count = static_cast<std::int32_t>(random() % maxCount + 1);
      switch (random() % 7) {
        case 0:
        case 1: {
          std::string bytes(static_cast<std::size_t>(count), static_cast<char>('a' + step % 26));
          if (random() % 3 == 0) bytes[random() % bytes.size()] = random() % 2 == 0 ? '\r' : '\n';
          file.Write(bytes.data(), count);
          if (model.size() < static_cast<std::size_t>(position + count)) {
            model.resize(static_cast<std::size_t>(position + count), '\0');
          }
          model.replace(static_cast<std::size_t>(position), bytes.size(), bytes);
          position += count;
          break;
        }
        case 2:
          if (position + count <= static_cast<std::int64_t>(model.size())) {
            std::string bytes;
            file.ReadString(bytes, count);
            ASSERT_EQ(bytes, model.substr(static_cast<std::size_t>(position), bytes.size()));
            position += count;
          }
          break;
        case 3:
        case 4:
          position = static_cast<std::int64_t>(random() % (model.size() + 1));
          file.SetPosition(position);
          break;
        case 5: {
          // The next line as a plain splitter finds it in the model.
          const auto at = static_cast<std::size_t>(position);
          const std::size_t e = std::min(model.find_first_of("\r\n", at), model.size());
          std::string expected = model.substr(at, e - at);
          while (!expected.empty() && static_cast<unsigned char>(expected.back()) <= 32) expected.pop_back();
          std::string line;
          if (static_cast<std::int32_t>(e - at) > file.MaxLineLength) {
            ASSERT_THROW(file.ReadLine(line), EQelFileError);
            break;
          }
          file.ReadLine(line);
          ASSERT_EQ(line, expected);
          position = static_cast<std::int64_t>(e == model.size() ? e : e + 1);
          if (e < model.size() && model[e] == '\r' && e + 1 < model.size() && model[e + 1] == '\n') ++position;
          break;
        }
        default:
          if (random() % 8 == 0) {
            const auto size = static_cast<std::int64_t>(random() % (model.size() + 200));
            file.SetSize(size);
            model.resize(static_cast<std::size_t>(size), '\0');
            position = size;
          }
      }
      ASSERT_EQ(file.GetPosition(), position);
      ASSERT_EQ(file.GetSize(), static_cast<std::int64_t>(model.size()));
    }
    file.Close();
    EXPECT_EQ(ReadBytes(dir.File("data")), model);
  }
}

TEST(QelBufferedFile, SetSizeCutsAndGrowsWithZeros) {
  TTempDir dir;
  TQelBufferedFile file;
  file.SetFileName(dir.File("data"));
  file.Open(omReadWriteNew);
  file.WriteString("abcdef");
  file.SetSize(2);
  EXPECT_EQ(file.GetPosition(), 2);
  file.SetSize(5);
  file.SetPosition(0);
  std::string s;
  file.ReadString(s, 5);
  EXPECT_EQ(s, std::string("ab\0\0\0", 5));
  EXPECT_TRUE(file.Eof());
  file.Close();
}

TEST(QelBufferedFile, DestroyingAnOpenFileDropsBufferedBytes) {
  TTempDir dir;
  {
    TQelBufferedFile file;
    file.SetFileName(dir.File("out"));
    file.Open(omWriteNew);
    file.WriteLine("never written");
  }
  EXPECT_EQ(ReadBytes(dir.File("out")), "");
}

TEST(QelBufferedFile, CreationFlags) {
  TTempDir dir;
  TQelBufferedFile file;
  file.SetFileName(dir.File("temporary"));
  file.Open(omWriteNew | omDeleteOnClose);
  file.WriteLine("x");
  EXPECT_TRUE(std::filesystem::exists(dir.File("temporary")));
  file.Close();
  EXPECT_FALSE(std::filesystem::exists(dir.File("temporary")));

  file.SetFileName(dir.File("protected"));
  file.Open(omWriteNew | omReadOnly);
  file.WriteLine("x");
  file.Close();
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("protected").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
  EXPECT_EQ(ReadBytes(dir.File("protected")), "x\r\n");
}

TEST(QelFile, ExistsAndErase) {
  TTempDir dir;
  TQelFile file;
  EXPECT_FALSE(file.Exists());
  file.SetFileName(dir.Path().string());
  EXPECT_FALSE(file.Exists());
  file.SetFileName(dir.File("f"));
  EXPECT_FALSE(file.Exists());
  WriteBytes(dir.File("f"), "");
  EXPECT_TRUE(file.Exists());
  file.Erase();
  EXPECT_FALSE(std::filesystem::exists(dir.File("f")));
}

TEST(QelFile, UnbufferedTransfers) {
  TTempDir dir;
  TQelFile file;
  file.SetFileName(dir.File("f"));
  file.Open(omReadWriteNew);
  file.Write("hello world", 11);
  EXPECT_EQ(file.GetPosition(), 11);
  EXPECT_TRUE(file.Eof());
  file.SetPosition(-5);
  char text[16] = {};
  file.Read(text, 5);
  EXPECT_EQ(std::string(text, 5), "hello");
  EXPECT_FALSE(file.Eof());
  ExpectFileError([&] { file.Read(text, 7); }, "cannot read file \"" + dir.File("f") + "\"");
  file.SetSize(4);
  EXPECT_EQ(file.GetSize(), 4);
  EXPECT_EQ(file.GetPosition(), 4);
  file.Close();
  EXPECT_EQ(ReadBytes(dir.File("f")), "hell");
}

// Positions beyond 4 GiB, on a sparse file so that the test costs no disk space.
TEST(QelBufferedFile, ReadsBeyondFourGiB) {
  TTempDir dir;
  const std::string path = dir.File("big");
  const std::int64_t holeSize = (std::int64_t{5} << 30);
  {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0666);
    ASSERT_GE(fd, 0);
    struct stat info {};
    const bool sparse = ::ftruncate(fd, 1 << 20) == 0 && ::fstat(fd, &info) == 0 &&
                        info.st_blocks == 0 && ::ftruncate(fd, holeSize) == 0;
    ::close(fd);
    if (!sparse) GTEST_SKIP() << "the temporary folder has no sparse files";
  }
  TQelBufferedFile file;
  file.SetFileName(path);
  file.Open(omAlways | omWrite | omAtEnd);
  EXPECT_EQ(file.GetPosition(), holeSize);
  file.WriteString("\r\nlast line  \r\n");
  file.Close();

  file.BufferSize = 256 * 1024;
  file.Open(omReadExisting);
  EXPECT_EQ(file.GetSize(), holeSize + 15);
  file.SetPosition(holeSize);
  std::string s;
  file.ReadLine(s);
  EXPECT_EQ(s, "");
  file.ReadLine(s);
  EXPECT_EQ(s, "last line");
  EXPECT_TRUE(file.Eof());
  file.SetPosition(holeSize - 2);
  file.ReadString(s, 6);
  EXPECT_EQ(s, std::string("\0\0\r\nla", 6));
  file.Close();
}

// A file of more than 4 GiB read line by line from its start to its end. Each line is a hole
// of 32 MiB ending in its text, so the file costs a few blocks of disk only; what was read is
// dropped from the system's cache as the test goes.
TEST(QelBufferedFile, ReadsAFileBeyondFourGiBLineByLineToItsEnd) {
  TTempDir dir;
  const std::string path = dir.File("big.log");
  constexpr std::int64_t Segment = std::int64_t{32} << 20;
  constexpr int Segments = 4 * 32 + 2;  // 4 GiB and 64 MiB
  const auto text = [](int k) { return "line " + std::to_string(k); };
  {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0666);
    ASSERT_GE(fd, 0);
    struct stat info {};
    bool sparse = ::ftruncate(fd, 1 << 20) == 0 && ::fstat(fd, &info) == 0 && info.st_blocks == 0;
    for (int k = 0; sparse && k < Segments; ++k) {
      const std::string end = text(k) + "\n";
      const std::int64_t at = (k + 1) * Segment - static_cast<std::int64_t>(end.size());
      sparse = ::pwrite(fd, end.data(), end.size(), at) == static_cast<ssize_t>(end.size());
    }
    sparse = sparse && ::pwrite(fd, "last line", 9, Segments * Segment) == 9;
    ::close(fd);
    if (!sparse) GTEST_SKIP() << "the temporary folder has no sparse files or no room for " << path;
  }

  TQelBufferedFile file;
  file.BufferSize = static_cast<std::int32_t>(Segment) + 4096;
  file.MaxLineLength = static_cast<std::int32_t>(Segment);
  file.SetFileName(path);
  file.Open(omReadExisting);
  ASSERT_EQ(file.GetSize(), Segments * Segment + 9);
  const int cache = ::open(path.c_str(), O_RDONLY);
  std::string line;
  int lines = 0;
  for (; !file.Eof() && lines < Segments; ++lines) {
    file.ReadLine(line);
    ::posix_fadvise(cache, 0, 0, POSIX_FADV_DONTNEED);
    ASSERT_EQ(file.GetPosition(), (lines + 1) * Segment) << "line " << lines + 1;
    ASSERT_EQ(line.size(), static_cast<std::size_t>(Segment - 1));
    ASSERT_EQ(line.substr(line.size() - text(lines).size()), text(lines));
  }
  file.ReadLine(line);
  ++lines;
  EXPECT_EQ(line, "last line");
  EXPECT_TRUE(file.Eof());
  EXPECT_EQ(file.GetPosition(), file.GetSize());
  EXPECT_EQ(lines, Segments + 1);
  file.Close();
  ::close(cache);
}
