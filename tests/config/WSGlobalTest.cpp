#include "config/WSGlobal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

using testsupport::ReadBytes;
using testsupport::TFakeDialogs;
using testsupport::TMemorySettingsStore;
using testsupport::TTempDir;
using testsupport::WriteBytes;
using TList = std::vector<std::string>;

namespace {

const std::string Main = MainKey;
const std::string CheckList = Main + "\\ProccesCheckList";

// A program folder whose config/ holds the three lookup tables unless a test says otherwise.
class GlobalsTest : public ::testing::Test {
protected:
  TTempDir Dir;
  TMemorySettingsStore Store;
  TFakeDialogs Dialogs;

  GlobalsTest() {
    std::filesystem::create_directory(Dir.Path() / "config");
    Config("replace.lac", "'hexChar';'search';'replace'\r\n' ';' ';'+'\r\n'\"';'\"';\r\n");
    Config("spare.lac", "'spareText'\r\n'the'\r\n'und'\r\n");
    Config("errorcodes.lac", "'Index';'Text'\r\n'200';'200 OK'\r\n'404';'404 Not Found'\r\n'200';'second'\r\n");
  }

  void Config(const std::string& name, const std::string& bytes) { WriteBytes(ConfigFile(name), bytes); }
  std::string ConfigFile(const std::string& name) const { return (Dir.Path() / "config" / name).string(); }
  std::unique_ptr<Tglobals> Make() { return std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/"); }

  std::optional<TRegValue> Stored(const std::string& name, const std::string& key = Main) {
    return Store.ReadValue(key, name);
  }
};

TEST_F(GlobalsTest, LookupTablesAnswerFromTheInstalledFiles) {
  auto globals = Make();
  EXPECT_TRUE(Dialogs.Shown.empty());
  EXPECT_EQ(globals->GetStatusCodeText(404), "404 Not Found");
  EXPECT_EQ(globals->GetStatusCodeText(200), "200 OK") << "the first record of a code wins";
  EXPECT_EQ(globals->GetStatusCodeText(999), "unknown status code (999)");
  EXPECT_EQ(globals->GetStatusCodeText(-7), "unknown status code (-7)");
  EXPECT_EQ(&globals->GetStatusCodeText(999), &globals->GetStatusCodeText(999));

  EXPECT_FALSE(globals->IsNotSpareWord("the"));
  EXPECT_TRUE(globals->IsNotSpareWord("The"));
  EXPECT_TRUE(globals->IsNotSpareWord("thee"));
  EXPECT_TRUE(globals->IsNotSpareWord(""));

  ASSERT_EQ(globals->ReplaceRows().size(), 2u);
  EXPECT_EQ(globals->ReplaceRows()[0].HexChar, " ");
  EXPECT_EQ(globals->ReplaceRows()[0].Replace, "+");
  EXPECT_EQ(globals->ReplaceRows()[1].Search, "\"");
  EXPECT_EQ(globals->ReplaceRows()[1].Replace, "") << "no value reads as an empty text";
  EXPECT_EQ(globals->kbmStatusCodes.RecordCount(), 3);
}

// Each table loads on its own: a missing replacement table must not leave every status code
// unknown. Every table that fails is shown and listed, naming its file and why.
TEST_F(GlobalsTest, EachFailedTableIsShownAndListedAndTheOthersLoad) {
  struct TCase {
    std::vector<std::string> Broken;  // files missing, or errorcodes.lac with a bad integer
    bool ReplaceLoaded, SpareLoaded, StatusLoaded;
  };
  const TCase cases[] = {
      {{"replace.lac"}, false, true, true},
      {{"spare.lac"}, true, false, true},
      {{"errorcodes.lac"}, true, true, false},
      {{"replace.lac", "spare.lac", "errorcodes.lac"}, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Broken.size());
    Dialogs.Shown.clear();
    Config("replace.lac", "'hexChar';'search';'replace'\r\n' ';' ';'+'\r\n");
    Config("spare.lac", "'spareText'\r\n'the'\r\n");
    Config("errorcodes.lac", "'Index';'Text'\r\n'200';'200 OK'\r\n");
    for (const auto& file : c.Broken) {
      if (file == "errorcodes.lac") Config(file, "'Index';'Text'\r\n'200';'200 OK'\r\n'2x0';'broken'\r\n");
      else std::filesystem::remove(ConfigFile(file));
    }

    auto globals = Make();
    const TList errors = Dialogs.TextsOf("error");
    ASSERT_EQ(errors.size(), c.Broken.size());
    EXPECT_EQ(globals->TableProblems(), errors);
    for (std::size_t i = 0; i < errors.size(); ++i) {
      EXPECT_NE(errors[i].find(ConfigFile(c.Broken[i])), std::string::npos) << errors[i];
      const bool missing = c.Broken[i] != "errorcodes.lac";
      EXPECT_NE(errors[i].find(missing ? ": No such file or directory" : "'2x0' is not a valid integer"), std::string::npos)
          << errors[i];
    }
    EXPECT_EQ(globals->ReplaceRows().size(), c.ReplaceLoaded ? 1u : 0u);
    EXPECT_EQ(globals->IsNotSpareWord("the"), !c.SpareLoaded);
    EXPECT_EQ(globals->GetStatusCodeText(200), c.StatusLoaded ? "200 OK" : "unknown status code (200)");
    EXPECT_TRUE(globals->kbmStatusCodes.Active());
  }
}

TEST_F(GlobalsTest, FirstStartGivesDefaultsAndTheDialogsCreateTheMainKey) {
  auto globals = Make();
  EXPECT_DOUBLE_EQ(globals->GetTimeArea(), 5.0 / 1440);

  Dialogs.InputAnswers = {std::nullopt};  // cancelled
  globals->InputRegString("MainPage", "main page", "Please set your main page:");
  EXPECT_EQ(Dialogs.TextsOf("input"), TList{"main page|Please set your main page:|"});
  EXPECT_TRUE(Store.KeyExists(Main));
  EXPECT_EQ(Stored("MainPage"), std::nullopt);

  Store.Keys.clear();
  Dialogs.Shown.clear();
  Dialogs.InputAnswers = {std::nullopt};
  globals->InputRegMinutes("TimeArea", "time area for visitors", "prompt");
  EXPECT_EQ(Dialogs.TextsOf("input"), TList{"time area for visitors|prompt|5"});
  EXPECT_EQ(Stored("TimeArea"), TRegValue(std::int32_t{5})) << "the dialog is left only by storing";
}

TEST_F(GlobalsTest, TimeAreaDialogRejectsEntriesOutsideOneTo59Minutes) {
  auto globals = Make();
  Dialogs.InputAnswers = {"0", "60", "-3", "abc", "59"};
  globals->InputRegMinutes("TimeArea", "c", "p");
  EXPECT_EQ(Dialogs.TextsOf("information"),
            (TList{"'0' is no valid value.", "'60' is no valid value.", "'-3' is no valid value.",
                   "'abc' is no valid value."}));
  EXPECT_EQ(Dialogs.TextsOf("input"), TList(5, "c|p|5")) << "each rejection shows 5 again";
  EXPECT_EQ(Stored("TimeArea"), TRegValue(std::int32_t{59}));

  Dialogs.Shown.clear();
  Dialogs.InputAnswers = {"1"};
  globals->InputRegMinutes("TimeArea", "c", "p");
  EXPECT_EQ(Dialogs.TextsOf("input"), TList{"c|p|59"}) << "the stored value is offered";
  EXPECT_EQ(Stored("TimeArea"), TRegValue(std::int32_t{1}));

  Dialogs.Shown.clear();
  Dialogs.InputAnswers = {"12x", std::nullopt};  // rejected, then cancelled
  globals->InputRegMinutes("TimeArea", "c", "p");
  EXPECT_EQ(Dialogs.TextsOf("information"), TList{"'12x' is no valid value."});
  EXPECT_EQ(Stored("TimeArea"), TRegValue(std::int32_t{5}));
}

TEST_F(GlobalsTest, TimeAreaComesFromTheStoredMinutes) {
  auto globals = Make();
  Store.CreateKey(Main);
  Store.WriteValue(Main, "TimeArea", std::int32_t{30});
  EXPECT_NEAR(globals->GetTimeArea(), 0.0208333, 1e-7);
  Store.WriteValue(Main, "TimeArea", std::int32_t{0});
  EXPECT_EQ(globals->GetTimeArea(), 0.0);
  Store.WriteValue(Main, "TimeArea", std::string("30"));  // no integer: the default
  EXPECT_DOUBLE_EQ(globals->GetTimeArea(), 5.0 / 1440);
  for (const std::int32_t bad : {60, -1, 1000}) {
    Store.WriteValue(Main, "TimeArea", bad);
    try {
      globals->GetTimeArea();
      ADD_FAILURE() << bad << " accepted";
    } catch (const EConvertError& e) {
      EXPECT_NE(std::string(e.what()).find(std::to_string(bad) + " minutes"), std::string::npos) << e.what();
    }
  }
}

TEST_F(GlobalsTest, MainPageDialogKeepsThePageWhenConfirmedEmpty) {
  auto globals = Make();
  Store.CreateKey(Main);
  Store.WriteValue(Main, "MainPage", std::string("/index.html"));
  Dialogs.InputAnswers = {""};
  globals->InputRegString("MainPage", "main page", "p");
  EXPECT_EQ(Dialogs.TextsOf("input"), TList{"main page|p|/index.html"});
  EXPECT_EQ(Stored("MainPage"), TRegValue(std::string("/index.html")));

  Dialogs.InputAnswers = {"/start.html"};
  globals->InputRegString("MainPage", "main page", "p");
  EXPECT_EQ(Stored("MainPage"), TRegValue(std::string("/start.html")));
}

TEST_F(GlobalsTest, RegistryHelpersReportMissingKeysValuesAndKinds) {
  auto globals = Make();
  std::string text = "old";
  std::int32_t number = 7;
  EXPECT_FALSE(globals->ReadRegString("MainPage", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(globals->ReadRegInteger("TimeArea", number));
  EXPECT_EQ(number, -1);
  EXPECT_FALSE(globals->WriteRegString("MainPage", "x"));
  EXPECT_FALSE(globals->WriteRegInteger("TimeArea", 3));
  EXPECT_TRUE(Store.Values.empty());

  globals->CreateRegKey(Main);
  EXPECT_TRUE(globals->ReadRegString("MainPage", text)) << "the key opened; the value is missing";
  EXPECT_EQ(text, "");
  EXPECT_TRUE(globals->WriteRegString("MainPage", "/a"));
  EXPECT_TRUE(globals->WriteRegInteger("TimeArea", 3));
  EXPECT_TRUE(globals->ReadRegString("MainPage", text));
  EXPECT_EQ(text, "/a");
  EXPECT_TRUE(globals->ReadRegInteger("TimeArea", number));
  EXPECT_EQ(number, 3);

  number = 7;
  EXPECT_FALSE(globals->ReadRegInteger("MainPage", number)) << "a text is no integer";
  EXPECT_EQ(number, -1);
  EXPECT_THROW(globals->ReadRegString("TimeArea", text), ESettingsError);
}

TEST_F(GlobalsTest, DialogSpecsStartInTheRememberedFolder) {
  auto globals = Make();
  TFileDialogOptions options;
  options.Title = "t";
  EXPECT_EQ(globals->MakeSaveDialogReg(options, "File", "\\DirConfig").Folder, "");
  EXPECT_FALSE(Store.KeyExists(Main)) << "the save dialog creates nothing";
  EXPECT_EQ(globals->MakeOpenDialogReg(options, "File", "\\DirConfig").Folder, "");
  EXPECT_TRUE(Store.KeyExists(Main)) << "the open dialog creates the main key";
  EXPECT_FALSE(Store.KeyExists(Main + "File"));

  Store.CreateKey(Main + "File");
  Store.WriteValue(Main + "File", "\\DirConfig", std::string("/logs/"));
  Store.WriteValue(Main, "DirFiles", std::string("/files/"));
  EXPECT_EQ(globals->MakeOpenDialogReg(options, "File", "\\DirConfig").Folder, "/logs/");
  EXPECT_EQ(globals->MakeSaveDialogReg(options, "File", "\\DirConfig").Folder, "/logs/");
  const auto open = globals->MakeOpenDialogReg(options, "", "DirFiles");
  EXPECT_EQ(open.Folder, "/files/");
  EXPECT_EQ(open.Title, "t");
}

TEST_F(GlobalsTest, ListFilesReadEveryLineAndAreReplacedWhole) {
  auto globals = Make();
  EXPECT_EQ(globals->ReadListFile("FileList.lst"), TList{});
  std::filesystem::create_directory(ConfigFile("folder.lst"));
  EXPECT_EQ(globals->ReadListFile("folder.lst"), TList{}) << "a folder is no file";

  Config("BaneWords.lst", "spam\r\n\r\ncheap pills  \r\nlast");
  EXPECT_EQ(globals->ReadListFile("BaneWords.lst"), (TList{"spam", "", "cheap pills", "last"}));

  globals->WriteListFile("BaneWords.lst", "one\r\ntwo\r\n");
  EXPECT_EQ(ReadBytes(ConfigFile("BaneWords.lst")), "one\r\ntwo\r\n");
  globals->WriteListFile("BaneWords.lst", "");
  EXPECT_EQ(ReadBytes(ConfigFile("BaneWords.lst")), "");

  try {
    globals->WriteListFile("folder.lst", "x\r\n");
    FAIL() << "no error";
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find("\"" + ConfigFile("folder.lst") + "\""), std::string::npos) << e.what();
  }
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Dir.Path() / "config")) ++files;
  EXPECT_EQ(files, 5) << "three tables, the list and the folder; no temporary file is left";
}

TEST_F(GlobalsTest, NotShownListTakesTheEntriesOfHiddenGroups) {
  auto globals = Make();
  Config("notschown.lst", "A\r\n<G>\r\nB\r\n<H>\r\nC\r\n<not a group\r\n\r\n");
  struct TCase {
    std::optional<std::int32_t> G, H;
    TList Expected;
  };
  const TCase cases[] = {
      {std::nullopt, std::nullopt, {"A"}},
      {0, std::nullopt, {"A", "B"}},
      {1, 1, {"A"}},
      {1, 0, {"A", "C", "<not a group", ""}},
      {0, 0, {"A", "B", "C", "<not a group", ""}},
      {2, std::nullopt, {"A"}},
  };
  for (const auto& c : cases) {
    Store.Values.clear();
    Store.CreateKey(CheckList);
    if (c.G) Store.WriteValue(CheckList, "G", *c.G);
    if (c.H) Store.WriteValue(CheckList, "H", *c.H);
    EXPECT_EQ(globals->LoadNotShownList(), c.Expected);
  }
  Store.Keys.clear();
  EXPECT_EQ(globals->LoadNotShownList(), TList{"A"}) << "without the key every group is shown";

  std::filesystem::remove(ConfigFile("notschown.lst"));
  try {
    globals->LoadNotShownList();
    FAIL() << "no error";
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find("notschown.lst"), std::string::npos) << e.what();
  }
}

}  // namespace
