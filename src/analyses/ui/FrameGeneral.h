#pragma once
// The "Short Statistics" tab: the summary rows and the status codes side by side above three
// pages, the browsers, the operating systems and the crawlers, each a grid beside its pie,
// over the short-statistics analysis the frame owns.
#include <QSplitter>
#include <QTabWidget>
#include <QWidget>

#include <vector>

#include "analyses/W2FrmGeneral.h"
#include "analyses/ui/GridView.h"
#include "analyses/ui/PieChart.h"

class ILocalFormat;
class TAgentClassifier;
class TMemTableDelegate;
class TMemTableModel;

class TFrameGeneral : public QWidget {
  Q_OBJECT
public:
  TFrameGeneral(const Tglobals& globals, ILocalFormat& format, TAgentClassifier& agents, QWidget* parent = nullptr);
  ~TFrameGeneral() override;

  TGeneralAnalysis& Analysis() { return FAnalysis; }

  // A visitor lookup with the time area stored now.
  void CreateSearchUser();
  void ClearResults();
  // Browsers by family, or with their versions.
  void ToggleView();

  // Left grid half the frame's width, the upper panel a quarter of its height; on the pages
  // below, the grids a third of the width.
  void FrameResize();

  TGridView* tabGeneral = nullptr;
  TGridView* tabStatusCodes = nullptr;
  QTabWidget* pcAgents = nullptr;  // "Browsers", "Systems", "Crawlers"
  TGridView* tabBrowser = nullptr;
  TPieChart* DBChartBrowser = nullptr;
  TGridView* tabSystem = nullptr;
  TPieChart* DBChartSystem = nullptr;
  TGridView* tabCrawler = nullptr;
  TPieChart* DBChartCrawler = nullptr;
  QSplitter* Splitter1 = nullptr;  // between the two grids
  QSplitter* Splitter2 = nullptr;  // between the grids and the pages below

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  // A page of pcAgents: the grid of a table and its pie.
  void AddAgentPage(const QString& caption, TMemTableModel* model, ILocalFormat& format, TGridView*& grid,
                    TPieChart*& pie);

  const Tglobals& FGlobals;
  TGeneralAnalysis FAnalysis;
  TMemTableModel* FGeneralModel = nullptr;
  TMemTableModel* FStatusModel = nullptr;
  TMemTableModel* FBrowserModel = nullptr;
  TMemTableModel* FSystemModel = nullptr;
  TMemTableModel* FCrawlerModel = nullptr;
  std::vector<QSplitter*> FAgentPages;
};
