#pragma once
// A read-only grid over a memory-table model whose columns keep their design widths in
// proportion and together fill the grid's width. Rows are selected whole; once export is
// enabled, a context menu copies the selected rows (all rows when none is selected) to the
// clipboard and exports the whole grid as a CSV file.
#include <QMenu>
#include <QTableView>

#include <vector>

#include "analyses/ui/TableExport.h"

class TGridView : public QTableView {
  Q_OBJECT
public:
  explicit TGridView(QWidget* parent = nullptr);

  // Design widths of the model's columns, in pixels; hidden columns take none.
  void SetColumnWidths(std::vector<int> widths);

  // Adds the context menu; its commands show their errors and ask for file names through dialogs.
  void EnableExport(IDialogs& dialogs);
  QMenu* ExportMenu() const { return FExportMenu; }
  // The menu rests while a run holds the window.
  void SetExportEnabled(bool enabled) { FExportEnabled = enabled; }
  QAction* actCopy = nullptr;
  QAction* actExportCsv = nullptr;

  // The header captions, then the cells of the visible rows (only the selected ones when
  // asked and some are), as the grid shows them; hidden columns are left out.
  TTextRows TextRows(bool selectedOnly) const;
  void VisitRows(bool selectedOnly, const std::function<void(const TTextRow&)>& visit) const;
  void CopyRows() const;
  void ExportCsv() const;

protected:
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void FitColumns();
  std::string CellText(const QModelIndex& index) const;

  std::vector<int> FWidths;
  IDialogs* FDialogs = nullptr;
  QMenu* FExportMenu = nullptr;
  bool FExportEnabled = true;
};
