#include "analyses/ui/FrameGeneral.h"

#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>

#include "config/WSGlobal.h"
#include "config/ui/MemTableDelegate.h"
#include "config/ui/MemTableModel.h"

TFrameGeneral::TFrameGeneral(const Tglobals& globals, ILocalFormat& format, QWidget* parent)
    : QWidget(parent), FGlobals(globals), FAnalysis(globals, format) {
  setObjectName("FrameGeneral1");
  FGeneralModel = new TMemTableModel(FAnalysis.kbmGeneral, {{"Description", "Description"}, {"Value", "Value"}}, this);
  FStatusModel = new TMemTableModel(FAnalysis.kbmStatusCodes, {{"statusCode", "status code"}, {"count", "count"}}, this);
  FBrowserModel = new TMemTableModel(FAnalysis.kbmBrowser, {{"Browser", "Browser"}, {"Count", "Count"}}, this);

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

  DBChartBrowser = new TPieChart(Splitter2);
  DBChartBrowser->setObjectName("DBChartBrowser");
  DBChartBrowser->SetModel(FBrowserModel, 0, 1);
  DBChartBrowser->SetLegendVisible(true);
  for (TGridView* grid : {tabGeneral, tabStatusCodes}) grid->EnableExport(globals.Dialogs());
  DBChartBrowser->EnableExport(globals.Dialogs());

  Splitter1->setChildrenCollapsible(false);
  Splitter2->setChildrenCollapsible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter2);
}

TFrameGeneral::~TFrameGeneral() {
  // The views go before the analysis whose tables they show.
  delete Splitter2;
  delete FGeneralModel;
  delete FStatusModel;
  delete FBrowserModel;
}

void TFrameGeneral::CreateSearchUser() { FAnalysis.CreateSearchUser(FGlobals.GetTimeArea()); }

void TFrameGeneral::ClearResults() { FAnalysis.ClearResults(); }

void TFrameGeneral::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FrameResize();
}

void TFrameGeneral::FrameResize() {
  const int left = static_cast<int>(std::lround(width() / 2.0));
  const int panel = static_cast<int>(std::lround(height() / 4.0));
  Splitter1->setSizes({left, std::max(0, width() - left - Splitter1->handleWidth())});
  Splitter2->setSizes({panel, std::max(0, height() - panel - Splitter2->handleWidth())});
}
