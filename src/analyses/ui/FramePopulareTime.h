#pragma once
// The "Hits per.." tab: the bar chart of hits per hour of the day or day of the week, over the
// analysis the frame owns. The two drop-down lists live in the window's toolbar.
#include <QComboBox>
#include <QWidget>

#include "analyses/W2PopulareTime.h"
#include "analyses/ui/BarChart.h"

class Tglobals;
class TMemTableModel;

class TFramePopulareTime : public QWidget {
  Q_OBJECT
public:
  explicit TFramePopulareTime(const Tglobals& globals, QWidget* parent = nullptr);
  ~TFramePopulareTime() override;

  TPopulareTimeAnalysis& Analysis() { return FAnalysis; }

  void CreateSearchUser();
  // Each fills its list with its two items and selects the first.
  static void FillChooseItems(QComboBox& list);
  static void FillAnalyseItems(QComboBox& list);
  void ClearResults() { FAnalysis.ClearResults(); }

  TBarChart* DBChart = nullptr;

private:
  const Tglobals& FGlobals;
  TPopulareTimeAnalysis FAnalysis;
  TMemTableModel* FModel = nullptr;
};
