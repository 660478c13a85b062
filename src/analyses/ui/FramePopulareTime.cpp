#include "analyses/ui/FramePopulareTime.h"

#include <QVBoxLayout>

#include "config/WSGlobal.h"
#include "config/ui/MemTableModel.h"

namespace {

void FillItems(QComboBox& list, const std::vector<std::string>& items) {
  for (const auto& item : items) list.addItem(QString::fromStdString(item));
  list.setCurrentIndex(0);
}

}  // namespace

TFramePopulareTime::TFramePopulareTime(const Tglobals& globals, QWidget* parent)
    : QWidget(parent), FGlobals(globals) {
  setObjectName("FramePopulareTime1");
  FModel = new TMemTableModel(FAnalysis.kbmPopulareTime, {{"ID", "ID"}, {"Name", "Name"}, {"Sum", "Sum"}}, this);
  DBChart = new TBarChart(this);
  DBChart->setObjectName("DBChart");
  DBChart->SetModel(FModel, 1, 2);
  DBChart->SetAxisTitles("Time Area", "Amount");
  DBChart->EnableExport(globals.Dialogs());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(DBChart);
}

TFramePopulareTime::~TFramePopulareTime() {
  delete DBChart;
  delete FModel;
}

void TFramePopulareTime::CreateSearchUser() { FAnalysis.CreateSearchUser(FGlobals.GetTimeArea()); }

void TFramePopulareTime::FillChooseItems(QComboBox& list) { FillItems(list, TPopulareTimeAnalysis::ChooseItems()); }

void TFramePopulareTime::FillAnalyseItems(QComboBox& list) { FillItems(list, TPopulareTimeAnalysis::AnalyseItems()); }
