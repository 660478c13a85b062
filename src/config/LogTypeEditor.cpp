#include "config/LogTypeEditor.h"

#include <algorithm>
#include <exception>

#include "base/AsciiText.h"
#include "base/TableFile.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "platform/Dialogs.h"

namespace {

constexpr std::size_t MaxCaptionName = 100;

// The name without its folder, cut to at most `limit` bytes, never inside a UTF-8 sequence.
std::string ShortName(const std::string& path, std::size_t limit) {
  const auto slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name;
}

}  // namespace

TLogTypeEditor::TLogTypeEditor(const Tglobals& globals, IDialogs& dialogs)
    : kbmConfig("kbmConfig", {{"Name", TFieldType::String, 15},
                              {"LeftChar", TFieldType::String, 1},
                              {"RightChar", TFieldType::String, 1}}),
      FGlobals(globals),
      FDialogs(dialogs) {
  try {
    LoadFieldNames();
  } catch (const std::exception& e) {
    FFieldNames.clear();
    FDialogs.ShowError(e.what());
  }
}

void TLogTypeEditor::LoadFieldNames() {
  TQelBufferedFile file;
  file.SetFileName(FGlobals.ConfigDir() + FieldNameList);
  file.Open(omReadExisting);
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    if (!line.empty()) FFieldNames.push_back(line);  // an empty name names no field
  }
  file.Close();
  std::stable_sort(FFieldNames.begin(), FFieldNames.end(),
                   [](const std::string& a, const std::string& b) { return LessTextAscii(a, b); });
}

TFileDialogOptions TLogTypeEditor::DialogOptions() const {
  TFileDialogOptions options;
  options.Folder = FGlobals.ConfigDir() + LogTypeFolder;
  options.Filter = "Konfiguratonsdateien (*.lf)|*.lf";
  options.DefaultExtension = ".lf";
  return options;
}

std::string TLogTypeEditor::SaveQuestion() const { return "Save file: \"" + FFileName + "\" ?"; }

// ---- Saving and resetting ---------------------------------------------------------------------

bool TLogTypeEditor::AskSaveAndReset() {
  if (FFileOpen && FModified) {
    const TAnswer answer = FDialogs.AskYesNoCancel(SaveQuestion());
    if (answer == TAnswer::Cancel) return false;
    if (answer == TAnswer::Yes) WriteToFile();
  } else if (FModified) {
    const TAnswer answer = FDialogs.AskYesNoCancel("Save modified file?");
    if (answer == TAnswer::Cancel) return false;
    if (answer == TAnswer::Yes) WriteNewFile();  // a cancelled dialog saves nothing
  }
  FFileOpen = false;
  FNewRow = -1;
  kbmConfig.Close();
  FModified = false;
  return true;
}

void TLogTypeEditor::New() {
  if (AskSaveAndReset()) kbmConfig.Open();
}

void TLogTypeEditor::Clear() { AskSaveAndReset(); }

void TLogTypeEditor::LoadFromFile() {
  if (!AskSaveAndReset()) return;
  const auto chosen = FDialogs.OpenFiles(DialogOptions());
  if (!chosen || chosen->empty()) return;
  kbmConfig.Close();
  kbmConfig.Open();
  FFileName = chosen->front();
  FFileOpen = true;
  LoadTableFile(kbmConfig, FFileName);
  FCaption = "\"" + ShortName(FFileName, MaxCaptionName) + "\" log file";
}

void TLogTypeEditor::WriteToFile() {
  if (FFileOpen) {
    DropEmptyNewRow();
    SaveTableFile(kbmConfig, FFileName);
    FModified = false;
  } else if (FModified) {
    WriteNewFile();
  }
}

void TLogTypeEditor::WriteNewFile() {
  DropEmptyNewRow();
  if (!kbmConfig.Active() || kbmConfig.RecordCount() == 0) return;
  TFileDialogOptions options = DialogOptions();
  options.OverwritePrompt = true;
  const auto path = FDialogs.SaveFile(options);
  if (!path) return;
  // The file saved to does not become the editor's file: the description counts as new.
  FFileOpen = false;
  FModified = false;
  SaveTableFile(kbmConfig, *path);
}

bool TLogTypeEditor::CloseRequested() {
  if (FFileOpen && FModified) {
    const TAnswer answer = FDialogs.AskYesNoCancel(SaveQuestion());
    if (answer == TAnswer::Cancel) return false;
    if (answer == TAnswer::Yes) WriteToFile();
  }
  return true;
}

void TLogTypeEditor::FormClose() {
  FNewRow = -1;
  kbmConfig.Close();
}

// ---- Grid rows --------------------------------------------------------------------------------

int TLogTypeEditor::AppendRow() {
  if (!kbmConfig.Active()) return -1;
  if (FNewRow >= 0 && FNewRow == kbmConfig.RecordCount() - 1) return FNewRow;  // one is enough
  DropEmptyNewRow();
  kbmConfig.Append();
  kbmConfig.Post();
  FNewRow = kbmConfig.RecNo();
  return FNewRow;
}

int TLogTypeEditor::InsertRow(int row) {
  if (!kbmConfig.Active()) return -1;
  const int dropped = FNewRow;  // an empty new row goes first
  if (DropEmptyNewRow() && row > dropped) --row;
  if (row < 0 || row >= kbmConfig.RecordCount()) return AppendRow();
  kbmConfig.SetRecNo(row);
  kbmConfig.Insert();
  kbmConfig.Post();
  FNewRow = kbmConfig.RecNo();
  return FNewRow;
}

bool TLogTypeEditor::DeleteRow(int row) {
  if (!kbmConfig.Active() || row < 0 || row >= kbmConfig.RecordCount()) return false;
  if (!FDialogs.Confirm("Delete record?")) return false;
  kbmConfig.SetRecNo(row);
  kbmConfig.Delete();
  if (row == FNewRow)
    FNewRow = -1;
  else if (row < FNewRow)
    --FNewRow;
  return true;
}

void TLogTypeEditor::CellEdited(int row) {
  FModified = true;
  if (row == FNewRow) FNewRow = -1;
}

int TLogTypeEditor::RowEntered(int row) {
  if (FNewRow < 0 || row == FNewRow) return row;
  const int dropped = FNewRow;
  if (DropEmptyNewRow() && row > dropped) --row;  // the rows behind it moved up
  return row;
}

bool TLogTypeEditor::DropEmptyNewRow() {
  const int row = FNewRow;
  FNewRow = -1;
  if (row < 0 || !kbmConfig.Active() || row >= kbmConfig.RecordCount()) return false;
  for (int field = 0; field < kbmConfig.FieldCount(); ++field)
    if (!kbmConfig.AsStringAt(row, field).empty()) return false;  // it has an entry after all
  kbmConfig.SetRecNo(row);
  kbmConfig.Delete();
  return true;
}
