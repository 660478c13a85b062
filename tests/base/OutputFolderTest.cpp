// A set of output files replaces the folder's old set whole: links planted in the folder are
// replaced rather than written through, files of the old set are gone, a folder holding
// anything else is refused before any work, and nothing is left beside the folder after a
// failure, a concurrent run or an ending signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/FileError.h"
#include "base/OutputFolder.h"
#include "support/TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> SetNames = {"summary.csv", "pages.csv", "visits.csv"};

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteSet(const std::string& folder, const std::vector<std::string>& names, const std::string& content) {
  TOutputFolder set(folder, SetNames);
  for (const auto& name : names) {
    TOutputFile file = set.Create(name);
    file.Write(content);
    file.Close();
  }
  set.Commit();
}

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const EQelFileError& e) {
    return e.what();
  }
  return "(no error)";
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class TUmask {
public:
  explicit TUmask(mode_t mask) : FOld(::umask(mask)) {}
  ~TUmask() { ::umask(FOld); }

private:
  mode_t FOld;
};

}  // namespace

TEST(OutputFolderTest, ANewSetGetsTheUsersDefaultPermissions) {
  TTempDir dir;
  const TUmask mask(027);
  const std::string folder = dir.File("reports/today");  // the folders above are made too
  WriteSet(folder, {"summary.csv", "pages.csv"}, "x\r\n");
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"pages.csv", "summary.csv"}));
  EXPECT_EQ(ReadBytes(folder + "/summary.csv"), "x\r\n");
  EXPECT_EQ(fs::status(folder + "/summary.csv").permissions(), fs::perms(0640));
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0750));
  EXPECT_EQ(Names(dir.Path() / "reports"), std::vector<std::string>{"today"});
}

TEST(OutputFolderTest, PlantedLinksAreReplacedAndTheOldSetGoes) {
  TTempDir dir;
  const std::string folder = dir.File("out");
  fs::create_directory(folder);
  WriteBytes(dir.File("victim.txt"), "precious");
  ::chmod(dir.File("victim.txt").c_str(), 0666);
  fs::create_symlink(dir.File("victim.txt"), folder + "/summary.csv");
  fs::create_symlink(dir.File("victim.txt"), folder + "/visits.csv");
  WriteBytes(folder + "/pages.csv", "old");
  ::chmod((folder + "/pages.csv").c_str(), 04777);  // taken over by nobody
  const TUmask mask(022);
  WriteSet(folder, {"summary.csv", "pages.csv"}, "new");
  EXPECT_EQ(ReadBytes(dir.File("victim.txt")), "precious");
  EXPECT_FALSE(fs::is_symlink(folder + "/summary.csv"));
  EXPECT_EQ(ReadBytes(folder + "/summary.csv"), "new");
  EXPECT_EQ(fs::status(folder + "/pages.csv").permissions(), fs::perms(0644));
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"pages.csv", "summary.csv"}));  // no visits.csv
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"out", "victim.txt"}));
}

TEST(OutputFolderTest, AFolderNotOfTheSetIsRefusedBeforeAnyWork) {
  TTempDir dir;
  WriteBytes(dir.File("afile"), "mine");
  fs::create_directory(dir.File("mixed"));
  WriteBytes(dir.File("mixed/notes.txt"), "mine");
  WriteBytes(dir.File("mixed/summary.csv"), "old");
  fs::create_directories(dir.File("deep/pages.csv"));
  const struct {
    std::string Folder, Expected;
  } cases[] = {
      {dir.File("afile"), "Not a directory"},
      {dir.File("mixed"), "\"notes.txt\""},
      {dir.File("deep"), "\"pages.csv\""},  // a folder of that name is no file of the set
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Folder);
    const std::string message = Message([&] { TOutputFolder set(c.Folder, SetNames); });
    EXPECT_NE(message.find(c.Expected), std::string::npos) << message;
    EXPECT_EQ(Count(message, c.Folder), 1u) << message;
  }
  EXPECT_EQ(ReadBytes(dir.File("mixed/summary.csv")), "old");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"afile", "deep", "mixed"}));
}

TEST(OutputFolderTest, AnUnfinishedSetLeavesNothing) {
  TTempDir dir;
  const std::string folder = dir.File("out");
  WriteSet(folder, {"summary.csv"}, "old");
  {
    TOutputFolder set(folder, SetNames);
    set.Create("pages.csv").Write("half");
    EXPECT_NE(Message([&] { set.Create("other.csv"); }).find("other.csv"), std::string::npos);
  }
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out"});
  EXPECT_EQ(Names(folder), std::vector<std::string>{"summary.csv"});
  EXPECT_EQ(ReadBytes(folder + "/summary.csv"), "old");
}

TEST(OutputFolderTest, ConcurrentSetsNeverMix) {
  TTempDir dir;
  const std::string folder = dir.File("out");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  const std::string mine = child == 0 ? "B" : "A";
  bool ok = true;
  for (int round = 0; round < 40 && ok; ++round) {
    try {
      WriteSet(folder, child == 0 ? SetNames : std::vector<std::string>{"summary.csv", "pages.csv"}, mine);
    } catch (const std::exception& e) {
      ADD_FAILURE() << mine << ": " << e.what();
      ok = false;
    }
  }
  if (child == 0) ::_exit(ok ? 0 : 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(ok);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // Whoever was last, the folder holds its set alone; nothing is left beside it.
  const std::string last = ReadBytes(folder + "/summary.csv");
  for (const auto& name : Names(folder)) EXPECT_EQ(ReadBytes(folder + "/" + name), last) << name;
  EXPECT_EQ(Names(folder).size(), last == "A" ? 2u : 3u);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out"});
}

TEST(OutputFolderTest, AnEndingSignalRemovesTheUnfinishedSet) {
  TTempDir dir;
  const std::string folder = dir.File("out");
  WriteSet(folder, {"summary.csv"}, "old");
  for (int signal : {SIGINT, SIGTERM}) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::signal(signal, SIG_DFL);
      InstallOutputCleanup();
      TOutputFolder set(folder, SetNames);
      set.Create("summary.csv").Write(std::string(1 << 20, 'n'));
      set.Create("pages.csv").Write("half");
      (void)!::write(ready[1], "r", 1);
      for (;;) ::pause();
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out"});
    EXPECT_EQ(ReadBytes(folder + "/summary.csv"), "old");
  }
}
