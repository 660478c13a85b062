#pragma once
// The process check list: one check box per page group of the not-shown list; checked groups
// are shown by the page and visitor-path analyses.
#include <QDialog>

#include <functional>

#include "platform/CheckList.h"

class QListWidget;
class QToolBar;
class QToolButton;
class Tglobals;

class TfrmProcessCheckList : public QDialog, public ICheckList {
  Q_OBJECT
public:
  explicit TfrmProcessCheckList(QWidget* parent = nullptr);

  using TFill = std::function<void(ICheckList& box)>;
  using TSave = std::function<void(const ICheckList& box)>;
  // The main window's command: makes the settings key of the states when it is missing,
  // fills a new window, shows it modally and stores the states however it was closed. An
  // error while filling reaches the caller and nothing is shown.
  static void Execute(const Tglobals& globals, const TFill& fill, const TSave& save, QWidget* parent = nullptr);

  // ICheckList over cmbCheckList.
  void Clear() override;
  void Add(const std::string& text, bool checked) override;
  int Count() const override;
  std::string Text(int index) const override;
  bool Checked(int index) const override;
  void SelectFirst() override;

  QToolBar* ToolBar1 = nullptr;
  QToolButton* btnClose = nullptr;
  QListWidget* cmbCheckList = nullptr;

protected:
  void showEvent(QShowEvent* event) override;
};
