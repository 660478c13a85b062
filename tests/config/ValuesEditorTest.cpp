#include "config/ValuesEditor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
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
const std::string FileKey = Main + "File";
const std::string BanWordsKey = Main + "\\BanWords";
const std::string DeleteQuestion = "Do you want do delete the entries?";

class ValuesEditorTest : public ::testing::Test {
protected:
  TTempDir Dir;
  TMemorySettingsStore Store;
  TFakeDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;
  std::unique_ptr<TValuesEditor> Editor;

  ValuesEditorTest() {
    std::filesystem::create_directory(Dir.Path() / "config");
    for (const char* table : {"replace.lac", "spare.lac", "errorcodes.lac"}) WriteBytes(ConfigFile(table), "");
    Globals = std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/");
    Editor = std::make_unique<TValuesEditor>(*Globals, Dialogs);
  }

  std::string ConfigFile(const std::string& name) const { return (Dir.Path() / "config" / name).string(); }
  // Lists are written with bare LF here, so that a rewrite by the editor (CR LF) shows.
  void List(const std::string& name, const TList& entries) {
    std::string bytes;
    for (const auto& e : entries) bytes += e + "\n";
    WriteBytes(ConfigFile(name), bytes);
  }
  std::string ListBytes(const std::string& name) const { return ReadBytes(ConfigFile(name)); }
  std::optional<TRegValue> Stored(const std::string& key, const std::string& name) { return Store.ReadValue(key, name); }
  void ChooseFiles(TList files) { Dialogs.OpenAnswers.push_back(std::move(files)); }
};

TEST_F(ValuesEditorTest, ModesSetCaptionHintAndListFile) {
  List("FileList.lst", {"/logs/a.log"});
  List("BaneWords.lst", {"spam", "", "ads"});
  Editor->Fill(TValuesMode::InputFiles);
  EXPECT_EQ(Editor->Caption(), "Input File(s)");
  EXPECT_EQ(Editor->AddHint(), "add file(s)");
  EXPECT_EQ(Editor->Values(), TList{"/logs/a.log"});
  Editor->Fill(TValuesMode::LockWords);
  EXPECT_EQ(Editor->Caption(), "Lock Words");
  EXPECT_EQ(Editor->AddHint(), "new lock word");
  EXPECT_EQ(Editor->Values(), (TList{"spam", "", "ads"}));
  EXPECT_TRUE(Editor->CanWriteToFile());
  EXPECT_EQ(Editor->GetList(true), (TList{"spam", "", "ads"}));
  EXPECT_EQ(Editor->GetList(false), TList{"/logs/a.log"});
}

TEST_F(ValuesEditorTest, HasInputFilesCountsEveryLine) {
  EXPECT_FALSE(Editor->HasInputFiles());
  WriteBytes(ConfigFile("FileList.lst"), "\r\n");
  EXPECT_TRUE(Editor->HasInputFiles());
  WriteBytes(ConfigFile("FileList.lst"), "");
  EXPECT_FALSE(Editor->HasInputFiles());
}

// A chosen file is passed over only when a whole entry is its path.
TEST_F(ValuesEditorTest, AddsAFileUnlessAnEntryIsItsPath) {
  struct TCase {
    const char* Name;
    TList Listed;
    std::string Chosen;
    bool Added;
  };
  const TCase cases[] = {
      {"listed already", {"/logs/a.log", "/logs/b.log"}, "/logs/b.log", false},
      {"a longer path is listed", {"/logs/access.log.1"}, "/logs/access.log", true},
      {"the end of a listed path", {"/old/logs/access.log"}, "/logs/access.log", true},
      {"letter case differs", {"/logs/A.log"}, "/logs/a.log", true},
      {"empty list", {}, "/logs/a.log", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    List("FileList.lst", c.Listed);
    Editor->EditInputFiles();
    ChooseFiles({c.Chosen});
    Editor->Add();
    TList expected = c.Listed;
    if (c.Added) expected.push_back(c.Chosen);
    EXPECT_EQ(Editor->Values(), expected);
    EXPECT_EQ(Editor->Changed(), c.Added);
    std::string bytes;
    for (const auto& e : expected) bytes += e + "\r\n";
    EXPECT_EQ(ListBytes("FileList.lst"), bytes);  // rewritten even when nothing was added
  }
}

TEST_F(ValuesEditorTest, ThreeFilesAtOnceKeepTheirOrderAndTheLastFolder) {
  Store.CreateKey(Main);
  Store.WriteValue(Main, "DirFiles", std::string("/start/"));
  Editor->Fill(TValuesMode::InputFiles);
  ChooseFiles({"/d1/c.log", "/d2/a.log", "/d3/sub/b.log"});
  Editor->Add();
  EXPECT_EQ(Editor->Values(), (TList{"/d1/c.log", "/d2/a.log", "/d3/sub/b.log"}));
  EXPECT_EQ(ListBytes("FileList.lst"), "/d1/c.log\r\n/d2/a.log\r\n/d3/sub/b.log\r\n");
  EXPECT_EQ(Stored(Main, "DirFiles"), TRegValue(std::string("/d3/sub/")));

  ASSERT_EQ(Dialogs.DialogOptions.size(), 1u);
  EXPECT_TRUE(Dialogs.DialogOptions[0].MultiSelect);
  EXPECT_EQ(Dialogs.DialogOptions[0].Folder, "/start/");
  EXPECT_TRUE(Dialogs.DialogOptions[0].Filter.empty());
}

// Dropped files: the add command's rules, without a file dialog, from the list file as stored.
TEST_F(ValuesEditorTest, AddInputFilesTakesTheAddCommandsWay) {
  List("FileList.lst", {"/logs/b.log", "/logs/access.log.1"});
  List("BaneWords.lst", {"spam"});
  Editor->Fill(TValuesMode::LockWords);  // whatever the editor showed last
  EXPECT_TRUE(Editor->AddInputFiles({"/logs/b.log", "/new/access.log", "/new/b.log"}));
  EXPECT_EQ(Editor->Mode(), TValuesMode::InputFiles);
  EXPECT_EQ(ListBytes("FileList.lst"), "/logs/b.log\r\n/logs/access.log.1\r\n/new/access.log\r\n/new/b.log\r\n");
  EXPECT_EQ(Stored(Main, "DirFiles"), TRegValue(std::string("/new/")));

  List("FileList.lst", {"/logs/b.log"});
  EXPECT_FALSE(Editor->AddInputFiles({"/logs/b.log"}));
  EXPECT_EQ(ListBytes("FileList.lst"), "/logs/b.log\r\n");  // rewritten even when nothing was added
  EXPECT_TRUE(Dialogs.DialogOptions.empty());
  EXPECT_TRUE(Dialogs.Shown.empty());
}

TEST_F(ValuesEditorTest, CancelledFileDialogWritesNothingButMakesTheMainKey) {
  Editor->Fill(TValuesMode::InputFiles);
  Dialogs.OpenAnswers.push_back(std::nullopt);
  Editor->Add();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile("FileList.lst")));
  EXPECT_TRUE(Store.KeyExists(Main));  // the folder could not be read, so the key was made
  EXPECT_FALSE(Stored(Main, "DirFiles"));
}

TEST_F(ValuesEditorTest, LockWordsAreStoredAsTyped) {
  List("BaneWords.lst", {"spam"});
  Editor->EditLockWords();
  Dialogs.InputAnswers.push_back("free  ");
  Editor->Add();
  EXPECT_EQ(Dialogs.TextsOf("input"),
            TList{"new lock word|Please enter text phrases which will not be shown anymore:|"});
  EXPECT_EQ(ListBytes("BaneWords.lst"), "spam\r\nfree  \r\n");
  EXPECT_EQ(Editor->GetList(true), (TList{"spam", "free"}));  // the reader drops the blanks

  Dialogs.InputAnswers.push_back(std::nullopt);  // cancelled: the box gives back ""
  Editor->Add();
  EXPECT_EQ(Editor->Values(), (TList{"spam", "free  "}));
  EXPECT_EQ(ListBytes("BaneWords.lst"), "spam\r\nfree  \r\n");
}

TEST_F(ValuesEditorTest, DeletesSelectedEntriesOrAllAfterAsking) {
  List("FileList.lst", {"a", "b", "c", "d", "e"});
  Editor->Fill(TValuesMode::InputFiles);
  Dialogs.ConfirmAnswers = {false, true, true};

  Editor->Delete({1, 3});
  EXPECT_EQ(Editor->Values().size(), 5u);
  EXPECT_FALSE(Editor->Changed());

  Editor->Delete({3, 1});
  EXPECT_EQ(Editor->Values(), (TList{"a", "c", "e"}));
  EXPECT_EQ(ListBytes("FileList.lst"), "a\r\nc\r\ne\r\n");
  EXPECT_TRUE(Editor->Changed());

  Editor->Delete({});
  EXPECT_TRUE(Editor->Values().empty());
  EXPECT_EQ(ListBytes("FileList.lst"), "");
  EXPECT_FALSE(Editor->CanWriteToFile());
  EXPECT_EQ(Dialogs.TextsOf("yesno"), TList(3, DeleteQuestion));

  Editor->Delete({});  // an empty list: no question (the fake would throw)
  EXPECT_EQ(Dialogs.Shown.size(), 3u);
}

TEST_F(ValuesEditorTest, ImportAppendsNonBlankLinesAsRead) {
  Store.CreateKey(FileKey);
  Store.WriteValue(FileKey, "\\DirConfig", std::string("/exchange/"));
  List("FileList.lst", {"/logs/a.log"});
  WriteBytes(Dir.File("import.txt"), "  /logs/b.log  \r\n\t\r\n/logs/a.log\n   \r\n");
  Editor->EditInputFiles();
  ChooseFiles({Dir.File("import.txt")});
  Editor->LoadFromFile();
  EXPECT_EQ(Editor->Values(), (TList{"/logs/a.log", "  /logs/b.log", "/logs/a.log"}));
  EXPECT_EQ(ListBytes("FileList.lst"), "/logs/a.log\r\n  /logs/b.log\r\n/logs/a.log\r\n");
  EXPECT_TRUE(Editor->Changed());
  ASSERT_EQ(Dialogs.DialogOptions.size(), 1u);
  EXPECT_EQ(Dialogs.DialogOptions[0].Folder, "/exchange/");
  EXPECT_FALSE(Dialogs.DialogOptions[0].MultiSelect);
}

TEST_F(ValuesEditorTest, ImportOfBlankLinesSetsTheFlagButOfAnEmptyFileNot) {
  struct TCase {
    const char* Name;
    std::string Bytes;
    bool Changed;
  };
  for (const TCase& c : {TCase{"blank lines", " \r\n\r\n\t\r\n", true}, TCase{"no bytes", "", false}}) {
    SCOPED_TRACE(c.Name);
    List("FileList.lst", {"/logs/a.log"});
    WriteBytes(Dir.File("import.txt"), c.Bytes);
    Editor->EditInputFiles();
    ChooseFiles({Dir.File("import.txt")});
    Editor->LoadFromFile();
    EXPECT_EQ(Editor->Values(), TList{"/logs/a.log"});
    EXPECT_EQ(ListBytes("FileList.lst"), "/logs/a.log\r\n");  // rewritten either way
    EXPECT_EQ(Editor->Changed(), c.Changed);
  }
  EXPECT_FALSE(Store.KeyExists(FileKey));  // reading the folder made no key
  EXPECT_FALSE(Store.KeyExists(Main));
}

TEST_F(ValuesEditorTest, ImportOfAMissingFileRaisesAndKeepsTheListFile) {
  List("BaneWords.lst", {"spam"});
  Editor->EditLockWords();
  ChooseFiles({Dir.File("gone.txt")});
  try {
    Editor->LoadFromFile();
    FAIL() << "no error";
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find(Dir.File("gone.txt")), std::string::npos);
  }
  EXPECT_EQ(ListBytes("BaneWords.lst"), "spam\n");
}

TEST_F(ValuesEditorTest, ExportWritesTrimmedLinesAndKeepsTheFolderOnlyWhereTheKeyExists) {
  List("BaneWords.lst", {"spam  ", "ads"});
  Editor->EditLockWords();
  WriteBytes(Dir.File("out.txt"), "old content that is longer\r\n");

  Dialogs.SaveAnswers.push_back(Dir.File("out.txt"));
  Editor->WriteToFile();
  EXPECT_EQ(ReadBytes(Dir.File("out.txt")), "spam\r\nads\r\n");
  EXPECT_FALSE(Store.KeyExists(BanWordsKey));
  ASSERT_EQ(Dialogs.DialogOptions.size(), 1u);
  EXPECT_TRUE(Dialogs.DialogOptions[0].OverwritePrompt);

  Store.CreateKey(BanWordsKey);
  Dialogs.SaveAnswers.push_back(Dir.File("second.txt"));
  Editor->WriteToFile();
  EXPECT_EQ(Stored(BanWordsKey, "\\DirConfig"), TRegValue(Dir.Path().string() + "/"));
  EXPECT_FALSE(Editor->Changed());
  EXPECT_EQ(ListBytes("BaneWords.lst"), "spam  \nads\n");  // the list file is not touched

  Dialogs.SaveAnswers.push_back(std::nullopt);
  Editor->WriteToFile();
  EXPECT_EQ(Dialogs.DialogOptions.back().Folder, Dir.Path().string() + "/");
}

TEST_F(ValuesEditorTest, EditInputFilesReportsChangesMadeWhileShown) {
  List("FileList.lst", {"/logs/a.log"});
  List("BaneWords.lst", {"spam"});
  Editor->SetShowModal([] {});
  EXPECT_FALSE(Editor->EditInputFiles());

  Dialogs.InputAnswers.push_back("ads");
  Editor->SetShowModal([this] { Editor->Add(); });
  Editor->EditLockWords();
  EXPECT_TRUE(Editor->Changed());

  Editor->SetShowModal([] {});
  EXPECT_FALSE(Editor->EditInputFiles());  // opening the input files clears the flag
  EXPECT_EQ(Editor->Mode(), TValuesMode::InputFiles);

  Dialogs.ConfirmAnswers.push_back(true);
  Editor->SetShowModal([this] { Editor->Delete({0}); });
  EXPECT_TRUE(Editor->EditInputFiles());
}

TEST_F(ValuesEditorTest, UnwritableListKeepsTheNewEntries) {
  std::filesystem::create_directory(ConfigFile("BaneWords.lst"));  // a folder cannot be replaced by a file
  int shownChanges = 0;
  Editor->OnListChanged = [&] { ++shownChanges; };
  Editor->Fill(TValuesMode::LockWords);
  shownChanges = 0;
  Dialogs.InputAnswers.push_back("spam");
  EXPECT_THROW(Editor->Add(), EQelFileError);
  EXPECT_EQ(Editor->Values(), TList{"spam"});
  EXPECT_GE(shownChanges, 1);
}

}  // namespace
