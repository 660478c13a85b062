#include <gtest/gtest.h>

#include <filesystem>

#include "config/WSGlobal.h"
#include "run/ListFileInput.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

namespace {

using testsupport::WriteBytes;

struct ListFileInputTest : ::testing::Test {
  ListFileInputTest() {
    std::filesystem::create_directory(dir.Path() / "config");
    globals = std::make_unique<Tglobals>(store, dialogs, dir.Path().string() + "/");
  }
  std::string Config(const std::string& name) { return (dir.Path() / "config" / name).string(); }

  testsupport::TTempDir dir;
  testsupport::TFakeDialogs dialogs;
  testsupport::TMemorySettingsStore store;
  std::unique_ptr<Tglobals> globals;
};

TEST_F(ListFileInputTest, NoListMeansNoInputFiles) {
  TListFileInput lists(*globals);
  EXPECT_FALSE(lists.HasInputFiles());
  EXPECT_TRUE(lists.GetList(false).empty());
  EXPECT_TRUE(lists.GetList(true).empty());
}

TEST_F(ListFileInputTest, ListsAreReadAnewWithoutBlankEntries) {
  TListFileInput lists(*globals);
  WriteBytes(Config("FileList.lst"), "\r\n  \r\n");
  EXPECT_FALSE(lists.HasInputFiles());

  WriteBytes(Config("FileList.lst"), "/logs/a.log\r\n\r\n/logs/b.log\r\n");
  WriteBytes(Config("BaneWords.lst"), "shoes\r\nHATS\r\n");
  EXPECT_TRUE(lists.HasInputFiles());
  EXPECT_EQ(lists.GetList(false), (std::vector<std::string>{"/logs/a.log", "/logs/b.log"}));
  EXPECT_EQ(lists.GetList(true), (std::vector<std::string>{"shoes", "HATS"}));
}

}  // namespace
