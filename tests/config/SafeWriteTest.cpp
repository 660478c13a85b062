// Every file the program writes is replaced whole or not at all: a write that fails leaves the
// previous file as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <functional>
#include <memory>

#include "base/MemTable.h"
#include "base/TableFile.h"
#include "config/SettingsFile.h"
#include "config/ValuesEditor.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t Big = 64 * 1024;  // what every writer is asked to write
const std::string Old = "old content\r\n";

// Big bytes of list lines.
std::string ListText(char c) {
  std::string text;
  while (text.size() < Big) text += std::string(30, c) + "\r\n";
  return text;
}

// Writes beyond `bytes` fail as on a full disk, whoever runs the test.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = ::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    const rlimit limit{bytes, FOld.rlim_max};
    FActive = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FOld);
    ::signal(SIGXFSZ, FOldHandler);
  }
  bool Active() const { return FActive; }

private:
  rlimit FOld{};
  void (*FOldHandler)(int) = SIG_DFL;
  bool FActive = false;
};

// A folder that refuses new files; root is not refused, so the caller checks Refuses().
class TReadOnlyFolder {
public:
  explicit TReadOnlyFolder(fs::path folder) : FFolder(std::move(folder)) { ::chmod(FFolder.c_str(), 0555); }
  ~TReadOnlyFolder() { ::chmod(FFolder.c_str(), 0755); }
  bool Refuses() const { return ::access(FFolder.c_str(), W_OK) != 0; }

private:
  fs::path FFolder;
};

struct TWriter {
  const char* What;
  std::string Target;
  std::function<void()> Write;  // writes Big bytes or more to Target
};

class SafeWriteTest : public ::testing::Test {
protected:
  SafeWriteTest() {
    for (const char* folder : {"config", "LogTypes", "export", "settings"}) fs::create_directory(Dir.Path() / folder);
    for (const char* table : {"replace.lac", "spare.lac", "errorcodes.lac"}) WriteBytes(File("config", table), "");
    Globals = std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/");
    Editor = std::make_unique<TValuesEditor>(*Globals, Dialogs);
    Settings = std::make_unique<TSettingsFile>(File("settings", "settings.json"));
  }

  std::string File(const char* folder, const char* name) const { return (Dir.Path() / folder / name).string(); }

  std::vector<TWriter> Writers() {
    std::vector<TWriter> writers;
    writers.push_back({"list file", File("config", "BaneWords.lst"),
                       [this] { Globals->WriteListFile("BaneWords.lst", ListText('w')); }});
    writers.push_back({"log-type description", File("LogTypes", "mine.lf"), [this] {
                         TMemTable table("kbmConfig", {{"Name", TFieldType::String, 15},
                                                       {"LeftChar", TFieldType::String, 1},
                                                       {"RightChar", TFieldType::String, 1}});
                         table.Open();
                         for (std::size_t row = 0; row < Big / 10; ++row) {
                           table.Append();
                           table.SetString(0, "Request");
                           table.Post();
                         }
                         SaveTableFile(table, File("LogTypes", "mine.lf"));
                       }});
    writers.push_back({"exported list", File("export", "words.txt"), [this] {
                         Dialogs.SaveAnswers.push_back(File("export", "words.txt"));
                         Editor->WriteToFile();
                       }});
    writers.push_back({"settings store", File("settings", "settings.json"),
                       [this] { Settings->WriteValue(MainKey, "MainPage", std::string(Big, 'p')); }});
    return writers;
  }

  // The previous content of every target; the list editor holds Big bytes of lock words.
  void Prepare(const std::vector<TWriter>& writers) {
    Globals->WriteListFile("BaneWords.lst", ListText('x'));
    Editor->Fill(TValuesMode::LockWords);
    for (const TWriter& w : writers) WriteBytes(w.Target, Old);
    WriteBytes(Settings->Path(), "");  // a settings file must hold settings
    Settings->CreateKey(MainKey);
    for (const TWriter& w : writers) Previous[w.Target] = ReadBytes(w.Target);
  }

  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // The write fails naming the file, which keeps its content; the folder holds nothing new.
  void ExpectRefused(const TWriter& w) {
    SCOPED_TRACE(w.What);
    const fs::path folder = fs::path(w.Target).parent_path();
    const auto before = Names(folder);
    try {
      w.Write();
      ADD_FAILURE() << "the write did not fail";
    } catch (const std::exception& e) {
      EXPECT_NE(std::string(e.what()).find(w.Target), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadBytes(w.Target), Previous[w.Target]);
    EXPECT_EQ(Names(folder), before);
  }

  static void ExpectWritten(const TWriter& w) {
    SCOPED_TRACE(w.What);
    w.Write();
    EXPECT_GE(ReadBytes(w.Target).size(), Big);
  }

  TTempDir Dir;
  TMemorySettingsStore Store;
  TFakeDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;
  std::unique_ptr<TValuesEditor> Editor;
  std::unique_ptr<TSettingsFile> Settings;
  std::map<std::string, std::string> Previous;
};

}  // namespace

TEST_F(SafeWriteTest, AFullDiskLeavesThePreviousFile) {
  const auto writers = Writers();
  Prepare(writers);
  {
    TFileSizeLimit limit(Big / 4);
    ASSERT_TRUE(limit.Active());
    for (const TWriter& w : writers) ExpectRefused(w);
  }
  for (const TWriter& w : writers) ExpectWritten(w);
}

TEST_F(SafeWriteTest, AReadOnlyFolderLeavesThePreviousFile) {
  const auto writers = Writers();
  Prepare(writers);
  for (const TWriter& w : writers) {
    TReadOnlyFolder folder(fs::path(w.Target).parent_path());
    if (!folder.Refuses()) GTEST_SKIP() << "running with rights that write into any folder (root)";
    ExpectRefused(w);
  }
  for (const TWriter& w : writers) ExpectWritten(w);
}

TEST_F(SafeWriteTest, ReplacingKeepsPermissionsAndLinks) {
  const std::string real = File("config", "real.lst");
  WriteBytes(real, Old);
  ::chmod(real.c_str(), 0640);
  fs::create_symlink("real.lst", Dir.Path() / "config" / "BaneWords.lst");
  Globals->WriteListFile("BaneWords.lst", "new\r\n");
  EXPECT_TRUE(fs::is_symlink(Dir.Path() / "config" / "BaneWords.lst"));
  EXPECT_EQ(ReadBytes(real), "new\r\n");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
