#include "analyses/ui/FrameAddPage.h"

#include <QHBoxLayout>
#include <QResizeEvent>

#include <cmath>

#include "analyses/ui/SlotGuard.h"
#include "config/ui/MemTableDelegate.h"
#include "config/ui/MemTableModel.h"

TFrameAddPage::TFrameAddPage(const Tglobals& globals, IDialogs& dialogs, IHostLookup& hostLookup,
                             ILocalFormat& format, QWidget* parent)
    : QWidget(parent), FDialogs(dialogs), FAnalysis(globals, dialogs, hostLookup) {
  setObjectName("FrameAddPage1");
  FDataModel = new TMemTableModel(FAnalysis.kbmData, {{"TCPIP", "IP"}, {"DateTime", "Date"}, {"to", "to"}}, this);
  FProcessModel = new TMemTableModel(
      FAnalysis.kbmProcess, {{"Process", "Process"}, {"DateTime", "DateTime"}, {"TimeViewed", "TimeViewed"}}, this);

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setHandleWidth(8);
  Splitter1->setChildrenCollapsible(false);

  tabData = new TGridView(Splitter1);
  tabData->setObjectName("tabData");
  tabData->setModel(FDataModel);
  tabData->setItemDelegate(new TMemTableDelegate(format, tabData));
  tabData->SetColumnWidths({105, 135, 160});

  tabProcess = new TGridView(Splitter1);
  tabProcess->setObjectName("tabProcess");
  tabProcess->setModel(FProcessModel);
  tabProcess->setItemDelegate(new TMemTableDelegate(format, tabProcess));
  tabProcess->SetColumnWidths({180, 135, 80});
  tabData->EnableExport(dialogs);
  tabProcess->EnableExport(dialogs);

  connect(tabData, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) { tabDataClick(index.row()); });
  connect(tabData, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { tabDataClick(index.row()); });
  connect(FDataModel, &QAbstractItemModel::modelReset, this, &TFrameAddPage::SyncDataEnabled);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter1);
}

TFrameAddPage::~TFrameAddPage() {
  delete Splitter1;
  delete FDataModel;
  delete FProcessModel;
}

void TFrameAddPage::tabDataClick(int row) {
  RunGuarded(FDialogs, [&] {
    if (FAnalysis.DataEnabled()) FAnalysis.ShowPath(row);
  });
}

void TFrameAddPage::SyncDataEnabled() { tabData->setEnabled(FAnalysis.DataEnabled()); }

void TFrameAddPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FrameResize();
}

void TFrameAddPage::FrameResize() {
  const int left = static_cast<int>(std::lround(width() / 2.0));
  Splitter1->setSizes({left, std::max(0, width() - left - Splitter1->handleWidth())});
}
