#pragma once
// A read-only grid over a memory-table model whose columns keep their design widths in
// proportion and together fill the grid's width.
#include <QTableView>

#include <vector>

class TGridView : public QTableView {
  Q_OBJECT
public:
  explicit TGridView(QWidget* parent = nullptr);

  // Design widths of the model's columns, in pixels; hidden columns take none.
  void SetColumnWidths(std::vector<int> widths);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void FitColumns();

  std::vector<int> FWidths;
};
