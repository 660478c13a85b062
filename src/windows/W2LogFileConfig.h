#pragma once
// The log-type editor's window: a grid over kbmConfig under a toolbar. The main window creates
// one for each use and shows it modally.
//
// Grid keys: Insert inserts a row before the current one, Ctrl+Delete deletes the current
// row, Down on the last row appends one. A new row left without any entry is dropped.
#include <QDialog>

#include <memory>

#include "config/LogTypeEditor.h"

class QStyledItemDelegate;
class QTableView;
class QToolBar;
class QToolButton;
class TMemTableModel;
class Tglobals;
class IDialogs;

class TfrmLogFileConfig : public QDialog {
  Q_OBJECT
public:
  // Reads the field names; a missing list is shown as an error and the window still opens.
  TfrmLogFileConfig(const Tglobals& globals, IDialogs& dialogs, QWidget* parent = nullptr);
  ~TfrmLogFileConfig() override;

  TLogTypeEditor& Editor() { return FEditor; }
  TMemTableModel& Model() const { return *FModel; }

  // The grid's row commands, on the current row.
  void AppendRow();
  void InsertRow();
  void DeleteRow();

  QToolBar* ToolBar1 = nullptr;
  QToolButton* bntNew = nullptr;
  QToolButton* btnClear = nullptr;
  QToolButton* btnLoadFromFile = nullptr;
  QToolButton* btnWriteToFile = nullptr;
  QToolButton* btnWriteNewFile = nullptr;
  QToolButton* btnClose = nullptr;
  QTableView* dbConfig = nullptr;

  enum TColumn { colConfigName = 0, colConfigLeftChar = 1, colConfigRightChar = 2 };

public slots:
  void done(int result) override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void CreateToolBar();
  void CreateGrid();
  void Run(void (TLogTypeEditor::*command)());
  void CloseClicked();
  void PostEditor();
  void ShowState();
  void CurrentRowChanged();
  void SetCurrentRow(int row);
  int CurrentRow() const;

  IDialogs& FDialogs;
  TLogTypeEditor FEditor;
  std::unique_ptr<TMemTableModel> FModel;  // observes FEditor's table, so it goes first
  QStyledItemDelegate* FDelegate = nullptr;
};
