#include "analyses/ui/FrameGeneral.h"

#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>

#include "config/WSGlobal.h"
#include "config/ui/MemTableDelegate.h"
#include "config/ui/MemTableModel.h"

TFrameGeneral::TFrameGeneral(const Tglobals& globals, ILocalFormat& format, TAgentClassifier& agents, QWidget* parent)
    : QWidget(parent), FGlobals(globals), FAnalysis(globals, format, agents) {
  setObjectName("FrameGeneral1");
  FGeneralModel = new TMemTableModel(FAnalysis.kbmGeneral, {{"Description", "Description"}, {"Value", "Value"}}, this);
  FStatusModel = new TMemTableModel(FAnalysis.kbmStatusCodes, {{"statusCode", "status code"}, {"count", "count"}}, this);
  FBrowserModel = new TMemTableModel(FAnalysis.kbmBrowser, {{"Browser", "Browser"}, {"Count", "Count"}}, this);
  FSystemModel = new TMemTableModel(FAnalysis.kbmSystem, {{"System", "System"}, {"Count", "Count"}}, this);
  FCrawlerModel = new TMemTableModel(FAnalysis.kbmCrawler, {{"Crawler", "Crawler"}, {"Count", "Count"}}, this);

  Splitter2 = new QSplitter(Qt::Vertical, this);
  Splitter2->setObjectName("Splitter2");
  Splitter1 = new QSplitter(Qt::Horizontal, Splitter2);
  Splitter1->setObjectName("Splitter1");

  tabGeneral = new TGridView(Splitter1);
  tabGeneral->setObjectName("tabGeneral");
  tabGeneral->setModel(FGeneralModel);
  tabGeneral->setItemDelegate(new TMemTableDelegate(format, tabGeneral));
  tabGeneral->SetColumnWidths({108, 145});

  tabStatusCodes = new TGridView(Splitter1);
  tabStatusCodes->setObjectName("tabStatusCodes");
  tabStatusCodes->setModel(FStatusModel);
  tabStatusCodes->setItemDelegate(new TMemTableDelegate(format, tabStatusCodes));
  tabStatusCodes->SetColumnWidths({324, 66});
  for (TGridView* grid : {tabGeneral, tabStatusCodes}) grid->EnableExport(globals.Dialogs());

  pcAgents = new QTabWidget(Splitter2);
  pcAgents->setObjectName("pcAgents");
  AddAgentPage("Browsers", FBrowserModel, format, tabBrowser, DBChartBrowser);
  AddAgentPage("Systems", FSystemModel, format, tabSystem, DBChartSystem);
  AddAgentPage("Crawlers", FCrawlerModel, format, tabCrawler, DBChartCrawler);
  DBChartBrowser->setObjectName("DBChartBrowser");
  DBChartSystem->setObjectName("DBChartSystem");
  DBChartCrawler->setObjectName("DBChartCrawler");
  tabBrowser->setObjectName("tabBrowser");
  tabSystem->setObjectName("tabSystem");
  tabCrawler->setObjectName("tabCrawler");

  Splitter1->setChildrenCollapsible(false);
  Splitter2->setChildrenCollapsible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter2);
}

void TFrameGeneral::AddAgentPage(const QString& caption, TMemTableModel* model, ILocalFormat& format, TGridView*& grid,
                                 TPieChart*& pie) {
  auto* page = new QSplitter(Qt::Horizontal, pcAgents);
  page->setChildrenCollapsible(false);
  grid = new TGridView(page);
  grid->setModel(model);
  grid->setItemDelegate(new TMemTableDelegate(format, grid));
  grid->SetColumnWidths({190, 60});
  pie = new TPieChart(page);
  pie->SetModel(model, 0, 1);
  pie->SetLegendVisible(true);
  grid->EnableExport(FGlobals.Dialogs());
  pie->EnableExport(FGlobals.Dialogs());
  FAgentPages.push_back(page);
  pcAgents->addTab(page, caption);
}

TFrameGeneral::~TFrameGeneral() {
  // The views go before the analysis whose tables they show.
  delete Splitter2;
  for (TMemTableModel* model : {FGeneralModel, FStatusModel, FBrowserModel, FSystemModel, FCrawlerModel}) delete model;
}

void TFrameGeneral::CreateSearchUser() { FAnalysis.CreateSearchUser(FGlobals.GetTimeArea()); }

void TFrameGeneral::ClearResults() { FAnalysis.ClearResults(); }

void TFrameGeneral::ToggleView() {
  FAnalysis.ToggleView();
  DBChartBrowser->update();
}

void TFrameGeneral::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FrameResize();
}

void TFrameGeneral::FrameResize() {
  const int left = static_cast<int>(std::lround(width() / 2.0));
  const int panel = static_cast<int>(std::lround(height() / 4.0));
  Splitter1->setSizes({left, std::max(0, width() - left - Splitter1->handleWidth())});
  Splitter2->setSizes({panel, std::max(0, height() - panel - Splitter2->handleWidth())});
  // On the pages below, the grid a third of the width and the pie the rest.
  const int grid = static_cast<int>(std::lround(width() / 3.0));
  for (QSplitter* page : FAgentPages) page->setSizes({grid, std::max(0, width() - grid - page->handleWidth())});
}
