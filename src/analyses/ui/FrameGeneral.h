#pragma once
// The "Short Statistics" tab: the summary rows and the status codes side by side above the
// browser pie, over the short-statistics analysis the frame owns.
#include <QSplitter>
#include <QWidget>

#include "analyses/W2FrmGeneral.h"
#include "analyses/ui/GridView.h"
#include "analyses/ui/PieChart.h"

class ILocalFormat;
class TMemTableDelegate;
class TMemTableModel;

class TFrameGeneral : public QWidget {
  Q_OBJECT
public:
  TFrameGeneral(const Tglobals& globals, ILocalFormat& format, QWidget* parent = nullptr);
  ~TFrameGeneral() override;

  TGeneralAnalysis& Analysis() { return FAnalysis; }

  // A visitor lookup with the time area stored now.
  void CreateSearchUser();
  void ClearResults();
  void ToggleView() { FAnalysis.ToggleView(); }

  // Left grid half the frame's width, the upper panel a quarter of its height.
  void FrameResize();

  TGridView* tabGeneral = nullptr;
  TGridView* tabStatusCodes = nullptr;
  TPieChart* DBChartBrowser = nullptr;
  QSplitter* Splitter1 = nullptr;  // between the two grids
  QSplitter* Splitter2 = nullptr;  // between the grids and the pie

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  const Tglobals& FGlobals;
  TGeneralAnalysis FAnalysis;
  TMemTableModel* FGeneralModel = nullptr;
  TMemTableModel* FStatusModel = nullptr;
  TMemTableModel* FBrowserModel = nullptr;
};
