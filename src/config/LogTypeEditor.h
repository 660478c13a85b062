#pragma once
// The log-type editor behind TfrmLogFileConfig: one description (".lf" table file of
// config/LogTypes/) in kbmConfig, with the questions that keep edits from being lost.
//
// States: Empty (table closed), New (table open, not from a file), File (loaded from
// FFileName). FModified is set by cell edits only; adding or removing rows leaves it alone.
#include <string>
#include <vector>

#include "base/MemTable.h"

class Tglobals;
class IDialogs;
struct TFileDialogOptions;

inline constexpr const char* FieldNameList = "ParserConfig.txt";
inline constexpr const char* LogTypeFolder = "LogTypes/";
inline constexpr const char* LogTypeCaption = "Log File Configuration";

class TLogTypeEditor {
public:
  enum TField { fcName = 0, fcLeftChar = 1, fcRightChar = 2 };

  // Reads the field names; a list that cannot be read is reported through dialogs and leaves
  // the names empty.
  TLogTypeEditor(const Tglobals& globals, IDialogs& dialogs);

  TMemTable kbmConfig;

  // The names the Name column offers, sorted without regard to letter case.
  const std::vector<std::string>& FieldNames() const { return FFieldNames; }
  const std::string& Caption() const { return FCaption; }
  const std::string& FileName() const { return FFileName; }
  bool FileOpen() const { return FFileOpen; }
  bool Modified() const { return FModified; }

  // Toolbar commands.
  void New();
  void Clear();
  void LoadFromFile();
  void WriteToFile();
  void WriteNewFile();
  // The close button: false when the user cancelled the save question.
  bool CloseRequested();
  // The window closes, however it was closed: unsaved rows are lost.
  void FormClose();

  // Asks to save unsaved edits, then empties the editor; false when the user cancelled.
  bool AskSaveAndReset();

  // Grid rows. A new row (appended or inserted) that is left without any entry is dropped.
  // Appending and inserting return the view position of the new row; -1 when the table is
  // closed.
  int AppendRow();
  int InsertRow(int row);
  // Asks "Delete record?"; true when the row was deleted.
  bool DeleteRow(int row);
  // A cell of that row was edited.
  void CellEdited(int row);
  // The cursor moved to row (-1: nowhere): a new row left empty behind is dropped. Returns
  // where the row the cursor moved to is now.
  int RowEntered(int row);
  // The new row still without any entry, -1 when none.
  int EmptyNewRow() const { return FNewRow; }

private:
  void LoadFieldNames();
  bool DropEmptyNewRow();  // true when a row was dropped
  TFileDialogOptions DialogOptions() const;
  std::string SaveQuestion() const;

  const Tglobals& FGlobals;
  IDialogs& FDialogs;
  std::vector<std::string> FFieldNames;
  std::string FCaption = LogTypeCaption;
  std::string FFileName;
  bool FFileOpen = false;
  bool FModified = false;
  int FNewRow = -1;
};
