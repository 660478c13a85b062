#pragma once
// The list editor's window: the input files or the lock words, in a multi-select list box
// under a toolbar. Created once at start-up; the main window shows it through EditInputFiles
// and EditLockWords and reads the lists with GetList.
#include <QDialog>

#include <string>
#include <vector>

#include "config/ValuesEditor.h"

class QListWidget;
class QToolBar;
class QToolButton;
class Tglobals;
class IDialogs;

class TfrmValues : public QDialog {
  Q_OBJECT
public:
  TfrmValues(const Tglobals& globals, IDialogs& dialogs, QWidget* parent = nullptr);

  // For the main window. The Edit calls show the window modally; errors reading the list file
  // reach the caller.
  bool EditInputFiles();
  void EditLockWords();
  bool HasInputFiles() const { return FEditor.HasInputFiles(); }
  std::vector<std::string> GetList(bool lockWords) const { return FEditor.GetList(lockWords); }

  TValuesEditor& Editor() { return FEditor; }

  QToolBar* ToolBar1 = nullptr;
  QToolButton* btnAdd = nullptr;
  QToolButton* btnClear = nullptr;
  QToolButton* btnUnselekt = nullptr;
  QToolButton* btnLoadFromFile = nullptr;
  QToolButton* btnWriteToFile = nullptr;
  QToolButton* btnClose = nullptr;
  QListWidget* lstValues = nullptr;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void CreateToolBar();
  void ShowList();
  void Run(void (TValuesEditor::*command)());
  void DeleteEntries();
  std::vector<int> SelectedRows() const;

  IDialogs& FDialogs;
  TValuesEditor FEditor;
};
