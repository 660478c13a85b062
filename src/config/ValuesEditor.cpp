#include "config/ValuesEditor.h"

#include <algorithm>

#include "base/ReplaceFile.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"

namespace {

const char* const FolderValue = "DirFiles";
const char* const ExchangeFolderValue = "\\DirConfig";

// The folder part of a path, with its closing separator.
std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsBlank(const std::string& line) { return std::all_of(line.begin(), line.end(), IsBlankByte); }

// One line per entry, each without its trailing blanks and ended by CR LF.
void WriteLinesReplacing(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    const auto kept = std::find_if_not(line.rbegin(), line.rend(), IsBlankByte);
    text.append(line.begin(), kept.base());
    text += "\r\n";
  }
  ReplaceFileContents(path, text);
}

}  // namespace

TValuesEditor::TValuesEditor(const Tglobals& globals, IDialogs& dialogs) : FGlobals(globals), FDialogs(dialogs) {}

const char* TValuesEditor::ListFileOf(TValuesMode mode) {
  return mode == TValuesMode::InputFiles ? InputFileList : LockWordList;
}

const char* TValuesEditor::DialogKeySuffixOf(TValuesMode mode) {
  return mode == TValuesMode::InputFiles ? "File" : "\\BanWords";
}

std::string TValuesEditor::Caption() const {
  return FMode == TValuesMode::InputFiles ? "Input File(s)" : "Lock Words";
}

std::string TValuesEditor::AddHint() const {
  return FMode == TValuesMode::InputFiles ? "add file(s)" : "new lock word";
}

std::string TValuesEditor::DialogKey() const { return std::string(MainKey) + DialogKeySuffixOf(FMode); }

// ---- Offered to the main window ---------------------------------------------------------------

bool TValuesEditor::EditInputFiles() {
  FChanged = false;
  Fill(TValuesMode::InputFiles);
  if (FShowModal) FShowModal();
  return FChanged;
}

void TValuesEditor::EditLockWords() {
  Fill(TValuesMode::LockWords);
  if (FShowModal) FShowModal();
}

bool TValuesEditor::AddInputFiles(const std::vector<std::string>& files) {
  FChanged = false;
  Fill(TValuesMode::InputFiles);
  // The add command's file dialog makes the main key when it finds no folder; so the folder
  // of dropped files is kept as well.
  std::string folder;
  if (!FGlobals.ReadRegString(FolderValue, folder)) FGlobals.CreateRegKey(MainKey);
  AppendInputFiles(files);
  return FChanged;
}

bool TValuesEditor::HasInputFiles() const { return !FGlobals.ReadListFile(InputFileList).empty(); }

std::vector<std::string> TValuesEditor::GetList(bool lockWords) const {
  return FGlobals.ReadListFile(lockWords ? LockWordList : InputFileList);
}

void TValuesEditor::Fill(TValuesMode mode) {
  FMode = mode;
  FValues.clear();
  try {
    FValues = FGlobals.ReadListFile(ListFileOf(mode));
  } catch (...) {
    ListChanged();  // the window shows the empty list with the error
    throw;
  }
  ListChanged();
}

// ---- Commands ---------------------------------------------------------------------------------

void TValuesEditor::Add() {
  if (FMode == TValuesMode::InputFiles)
    AddInputFiles();
  else
    AddLockWord();
}

void TValuesEditor::AddInputFiles() {
  TFileDialogOptions options;
  options.MultiSelect = true;
  const auto files = FDialogs.OpenFiles(FGlobals.MakeOpenDialogReg(options, "", FolderValue));
  if (files) AppendInputFiles(*files);
}

void TValuesEditor::AppendInputFiles(const std::vector<std::string>& files) {
  // A file counts as listed only when a whole entry is its path: "access.log" is still added
  // while "access.log.1" is listed.
  for (const std::string& file : files)
    if (std::find(FValues.begin(), FValues.end(), file) == FValues.end()) Append(file);
  WriteList();
  if (!files.empty()) StoreFolder(FolderValue, files.back(), MainKey);
}

void TValuesEditor::AddLockWord() {
  const std::string word =
      FDialogs.InputBox("new lock word", "Please enter text phrases which will not be shown anymore:", "");
  if (word.empty()) return;
  Append(word);
  WriteList();
}

void TValuesEditor::Delete(const std::vector<int>& selected) {
  if (FValues.empty()) return;
  if (!FDialogs.AskYesNo("Do you want do delete the entries?")) return;
  if (selected.empty()) {
    FValues.clear();
  } else {
    std::vector<bool> gone(FValues.size(), false);
    for (int row : selected)
      if (row >= 0 && static_cast<std::size_t>(row) < FValues.size()) gone[static_cast<std::size_t>(row)] = true;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < FValues.size(); ++i)
      if (!gone[i]) kept.push_back(std::move(FValues[i]));
    FValues = std::move(kept);
  }
  FChanged = true;
  ListChanged();
  WriteList();
}

void TValuesEditor::LoadFromFile() {
  TFileDialogOptions options;
  FGlobals.ReadRegString(ExchangeFolderValue, options.Folder, DialogKey());
  const auto chosen = FDialogs.OpenFiles(options);
  if (!chosen || chosen->empty()) return;

  TQelBufferedFile file;
  file.SetFileName(chosen->front());
  file.Open(omReadExisting);
  // A file with any bytes counts as a change, even when all its lines are blank.
  if (file.GetSize() > 0) FChanged = true;
  std::string line;
  bool added = false;
  try {
    while (!file.Eof()) {
      file.ReadLine(line);
      if (IsBlank(line)) continue;
      FValues.push_back(line);  // the line as read, not trimmed
      added = true;
    }
  } catch (...) {
    if (added) ListChanged();  // what was read stays; the list file keeps its old content
    throw;
  }
  file.Close();
  if (added) ListChanged();
  WriteList();
}

void TValuesEditor::WriteToFile() {
  TFileDialogOptions options;
  options.OverwritePrompt = true;
  const auto path = FDialogs.SaveFile(FGlobals.MakeSaveDialogReg(options, DialogKeySuffixOf(FMode), ExchangeFolderValue));
  if (!path) return;
  WriteLinesReplacing(*path, FValues);
  // The key is never created here: without it the folder is not kept.
  StoreFolder(ExchangeFolderValue, *path, DialogKey());
}

// ---- Helpers ----------------------------------------------------------------------------------

void TValuesEditor::Append(const std::string& value) {
  FValues.push_back(value);
  FChanged = true;
  ListChanged();
}

void TValuesEditor::ListChanged() {
  if (OnListChanged) OnListChanged();
}

void TValuesEditor::WriteList() const {
  std::string text;
  for (const std::string& value : FValues) {
    text += value;
    text += "\r\n";
  }
  FGlobals.WriteListFile(ListFileOf(FMode), text);
}

// Remembering a folder is a convenience; failing to is not worth an error box.
void TValuesEditor::StoreFolder(const std::string& name, const std::string& path, const std::string& keyPath) const {
  try {
    FGlobals.WriteRegString(name, FolderOf(path), keyPath);
  } catch (const ESettingsError&) {
  }
}
