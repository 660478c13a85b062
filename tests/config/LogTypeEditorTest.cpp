#include "config/LogTypeEditor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/TableFile.h"
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

const std::string Header = "'Name';'LeftChar';'RightChar'\r\n";
const std::string TwoRows = Header + "'IP';;' '\r\n'Date';'[';']'\r\n";

class LogTypeEditorTest : public ::testing::Test {
protected:
  TTempDir Dir;
  TMemorySettingsStore Store;
  TFakeDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;
  std::unique_ptr<TLogTypeEditor> Editor;

  LogTypeEditorTest() {
    std::filesystem::create_directories(Dir.Path() / "config" / "LogTypes");
    for (const char* table : {"replace.lac", "spare.lac", "errorcodes.lac"}) WriteBytes(ConfigFile(table), "");
    WriteBytes(ConfigFile("ParserConfig.txt"), "Request\r\nIP\r\nbytes\r\nDate\r\n\r\nUserAgent\r\n");
    Globals = std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/");
    Editor = std::make_unique<TLogTypeEditor>(*Globals, Dialogs);
    WriteBytes(LogType("two.lf"), TwoRows);
  }

  std::string ConfigFile(const std::string& name) const { return (Dir.Path() / "config" / name).string(); }
  std::string LogType(const std::string& name) const { return ConfigFile("LogTypes/" + name); }

  void Open(const std::string& path) {
    Dialogs.OpenAnswers.push_back(TList{path});
    Editor->LoadFromFile();
  }
  // What the grid does when the user types into a cell.
  void Edit(int row, int field, const std::string& text) {
    TMemTable& t = Editor->kbmConfig;
    t.SetRecNo(row);
    t.Edit();
    t.SetString(field, text);
    t.Post();
    Editor->CellEdited(row);
  }
  TList Names() {
    TList names;
    TMemTable& t = Editor->kbmConfig;
    for (int row = 0; row < t.RecordCount(); ++row) names.push_back(t.AsStringAt(row, TLogTypeEditor::fcName));
    return names;
  }
};

TEST_F(LogTypeEditorTest, StartsEmptyWithTheSortedFieldNames) {
  EXPECT_EQ(Editor->FieldNames(), (TList{"bytes", "Date", "IP", "Request", "UserAgent"}));
  EXPECT_EQ(Editor->Caption(), "Log File Configuration");
  EXPECT_FALSE(Editor->kbmConfig.Active());
  EXPECT_FALSE(Editor->FileOpen());
  EXPECT_FALSE(Editor->Modified());
  EXPECT_TRUE(Dialogs.Shown.empty());
  const auto& fields = Editor->kbmConfig.Fields();
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0].Size, 15);
  EXPECT_EQ(fields[1].Name, "LeftChar");
  EXPECT_EQ(fields[2].Size, 1);
}

TEST_F(LogTypeEditorTest, MissingFieldNamesAreReportedAndLeaveTheListEmpty) {
  std::filesystem::remove(ConfigFile("ParserConfig.txt"));
  TLogTypeEditor editor(*Globals, Dialogs);
  EXPECT_TRUE(editor.FieldNames().empty());
  const TList errors = Dialogs.TextsOf("error");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(ConfigFile("ParserConfig.txt")), std::string::npos);
}

TEST_F(LogTypeEditorTest, OpensWithTheDescriptionDialogAndNamesTheFile) {
  Open(LogType("two.lf"));
  ASSERT_EQ(Dialogs.DialogOptions.size(), 1u);
  const TFileDialogOptions& options = Dialogs.DialogOptions[0];
  EXPECT_EQ(options.Filter, "Konfiguratonsdateien (*.lf)|*.lf");
  EXPECT_EQ(options.DefaultExtension, ".lf");
  EXPECT_EQ(options.Folder, ConfigFile("LogTypes/"));
  EXPECT_FALSE(options.MultiSelect);
  EXPECT_EQ(Editor->Caption(), "\"two.lf\" log file");
  EXPECT_TRUE(Editor->FileOpen());
  EXPECT_EQ(Editor->FileName(), LogType("two.lf"));
  EXPECT_EQ(Names(), (TList{"IP", "Date"}));

  const std::string longName = std::string(120, 'n') + ".lf";
  WriteBytes(LogType(longName), TwoRows);
  Open(LogType(longName));
  EXPECT_EQ(Editor->Caption(), "\"" + std::string(100, 'n') + "\" log file");
}

TEST_F(LogTypeEditorTest, EmptyLeftCharRoundTrips) {
  Open(LogType("two.lf"));
  EXPECT_TRUE(Editor->kbmConfig.AsStringAt(0, TLogTypeEditor::fcLeftChar).empty());
  Edit(1, TLogTypeEditor::fcName, "Date");  // an edit, so that saving has something to do
  Editor->WriteToFile();
  EXPECT_EQ(ReadBytes(LogType("two.lf")), TwoRows);
  EXPECT_FALSE(Editor->Modified());
  EXPECT_TRUE(Editor->FileOpen());
}

// Every way of leaving an opened file with unsaved edits asks the save question.
TEST_F(LogTypeEditorTest, SaveQuestionOfAnOpenedFile) {
  struct TCase {
    const char* Name;
    TAnswer Answer;
    bool Saved;
    bool Left;
  };
  const TCase cases[] = {
      {"cancel", TAnswer::Cancel, false, false},
      {"no", TAnswer::No, false, true},
      {"yes", TAnswer::Yes, true, true},
  };
  const std::string question = "Save file: \"" + LogType("two.lf") + "\" ?";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Editor = std::make_unique<TLogTypeEditor>(*Globals, Dialogs);
    WriteBytes(LogType("two.lf"), TwoRows);
    WriteBytes(LogType("other.lf"), Header + "'Request';'\"';'\"'\r\n");
    Open(LogType("two.lf"));
    Edit(0, TLogTypeEditor::fcName, "Bytes");
    Dialogs.Shown.clear();
    Dialogs.DialogOptions.clear();

    Dialogs.YesNoCancelAnswers.push_back(c.Answer);
    if (c.Left) Dialogs.OpenAnswers.push_back(TList{LogType("other.lf")});
    Editor->LoadFromFile();
    EXPECT_EQ(Dialogs.TextsOf("yesnocancel"), TList{question});
    EXPECT_EQ(Dialogs.DialogOptions.size(), c.Left ? 1u : 0u);
    EXPECT_EQ(Names(), c.Left ? TList{"Request"} : (TList{"Bytes", "Date"}));
    EXPECT_EQ(Editor->Modified(), !c.Left);
    EXPECT_EQ(ReadBytes(LogType("two.lf")).find("'Bytes'") != std::string::npos, c.Saved);
  }
}

TEST_F(LogTypeEditorTest, CloseButtonAsksOnlyForAnOpenedModifiedFile) {
  Open(LogType("two.lf"));
  Editor->kbmConfig.SetRecNo(0);
  Dialogs.ConfirmAnswers.push_back(true);
  EXPECT_TRUE(Editor->DeleteRow(0));
  EXPECT_EQ(Dialogs.TextsOf("confirm"), TList{"Delete record?"});
  EXPECT_FALSE(Editor->Modified());
  EXPECT_TRUE(Editor->CloseRequested());  // deleting a row is no edit: no question
  EXPECT_EQ(Dialogs.Shown.size(), 1u);

  Edit(0, TLogTypeEditor::fcRightChar, "]");
  Dialogs.YesNoCancelAnswers = {TAnswer::Cancel, TAnswer::Yes};
  EXPECT_FALSE(Editor->CloseRequested());
  EXPECT_TRUE(Editor->CloseRequested());
  EXPECT_EQ(ReadBytes(LogType("two.lf")), Header + "'Date';'[';']'\r\n");

  Editor->New();  // saved: asks nothing
  Edit(Editor->AppendRow(), TLogTypeEditor::fcName, "IP");
  EXPECT_TRUE(Editor->CloseRequested());  // a new description closes without a question
  EXPECT_EQ(Dialogs.TextsOf("yesnocancel").size(), 2u);
}

TEST_F(LogTypeEditorTest, NewDescriptionIsSavedThroughTheDialogOnce) {
  Editor->New();
  EXPECT_TRUE(Editor->kbmConfig.Active());
  EXPECT_EQ(Editor->kbmConfig.RecordCount(), 0);
  EXPECT_TRUE(Dialogs.Shown.empty());

  Editor->WriteToFile();  // nothing edited: nothing to do
  EXPECT_TRUE(Dialogs.DialogOptions.empty());

  Edit(Editor->AppendRow(), TLogTypeEditor::fcName, "IP");
  Dialogs.SaveAnswers.push_back(LogType("new.lf"));
  Editor->WriteToFile();
  ASSERT_EQ(Dialogs.DialogOptions.size(), 1u);
  EXPECT_TRUE(Dialogs.DialogOptions[0].OverwritePrompt);
  EXPECT_EQ(Dialogs.DialogOptions[0].Filter, "Konfiguratonsdateien (*.lf)|*.lf");
  EXPECT_EQ(ReadBytes(LogType("new.lf")), Header + "'IP';;\r\n");
  EXPECT_FALSE(Editor->Modified());

  Editor->WriteToFile();  // again without edits: no dialog
  EXPECT_EQ(Dialogs.DialogOptions.size(), 1u);
  EXPECT_EQ(Editor->Caption(), "Log File Configuration");
}

TEST_F(LogTypeEditorTest, SaveAsLeavesTheOpenedFileBehind) {
  Open(LogType("two.lf"));
  Edit(0, TLogTypeEditor::fcName, "Bytes");
  Dialogs.SaveAnswers.push_back(LogType("copy.lf"));
  Editor->WriteNewFile();
  EXPECT_EQ(ReadBytes(LogType("copy.lf")), Header + "'Bytes';;' '\r\n'Date';'[';']'\r\n");
  EXPECT_EQ(ReadBytes(LogType("two.lf")), TwoRows);
  EXPECT_FALSE(Editor->FileOpen());
  EXPECT_FALSE(Editor->Modified());
  EXPECT_EQ(Editor->FileName(), LogType("two.lf"));
  EXPECT_EQ(Editor->Caption(), "\"two.lf\" log file");

  Edit(1, TLogTypeEditor::fcName, "Request");
  Dialogs.SaveAnswers.push_back(std::nullopt);
  Editor->WriteToFile();  // asks for a file name again
  EXPECT_EQ(Dialogs.DialogOptions.size(), 3u);
  EXPECT_TRUE(Editor->Modified());
}

TEST_F(LogTypeEditorTest, YesToSaveModifiedThenCancelledDialogDiscardsTheRows) {
  Editor->New();
  Edit(Editor->AppendRow(), TLogTypeEditor::fcName, "IP");
  Dialogs.YesNoCancelAnswers.push_back(TAnswer::Yes);
  Dialogs.SaveAnswers.push_back(std::nullopt);
  Editor->Clear();
  EXPECT_EQ(Dialogs.TextsOf("yesnocancel"), TList{"Save modified file?"});
  EXPECT_FALSE(Editor->kbmConfig.Active());
  EXPECT_FALSE(Editor->Modified());

  Editor->New();
  Edit(Editor->AppendRow(), TLogTypeEditor::fcName, "IP");
  Dialogs.YesNoCancelAnswers.push_back(TAnswer::Cancel);
  Editor->New();
  EXPECT_EQ(Names(), TList{"IP"});
  EXPECT_TRUE(Editor->Modified());
}

TEST_F(LogTypeEditorTest, UnreadableFileStaysTheEditorsFileWithTheOldCaption) {
  std::filesystem::create_directory(LogType("folder.lf"));
  Dialogs.OpenAnswers.push_back(TList{LogType("folder.lf")});
  EXPECT_THROW(Editor->LoadFromFile(), EQelFileError);
  EXPECT_TRUE(Editor->FileOpen());
  EXPECT_EQ(Editor->FileName(), LogType("folder.lf"));
  EXPECT_EQ(Editor->Caption(), "Log File Configuration");
  EXPECT_TRUE(Editor->kbmConfig.Active());
}

TEST_F(LogTypeEditorTest, NewRowsLeftEmptyAreDropped) {
  Open(LogType("two.lf"));
  EXPECT_EQ(Editor->AppendRow(), 2);
  EXPECT_EQ(Editor->AppendRow(), 2);  // one empty row is enough
  EXPECT_EQ(Editor->RowEntered(0), 0);
  EXPECT_EQ(Names(), (TList{"IP", "Date"}));

  EXPECT_EQ(Editor->InsertRow(1), 1);
  EXPECT_EQ(Names(), (TList{"IP", "", "Date"}));
  EXPECT_EQ(Editor->RowEntered(2), 1);  // the empty row went; "Date" moved up
  EXPECT_EQ(Names(), (TList{"IP", "Date"}));

  const int row = Editor->InsertRow(0);
  Edit(row, TLogTypeEditor::fcLeftChar, "\"");
  EXPECT_EQ(Editor->RowEntered(2), 2);  // edited: kept
  EXPECT_EQ(Editor->kbmConfig.RecordCount(), 3);

  Editor->AppendRow();
  Editor->WriteToFile();  // the empty row is not saved
  EXPECT_EQ(ReadBytes(LogType("two.lf")), Header + ";'\"';\r\n" + "'IP';;' '\r\n'Date';'[';']'\r\n");
  EXPECT_EQ(Editor->EmptyNewRow(), -1);

  Dialogs.ConfirmAnswers.push_back(false);
  EXPECT_FALSE(Editor->DeleteRow(0));
  EXPECT_EQ(Editor->kbmConfig.RecordCount(), 3);
}

}  // namespace
