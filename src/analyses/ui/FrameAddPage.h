#pragma once
// The "Process" tab: the requests of the run on the left; a click lists the visit the request
// belongs to on the right, whose address turns into a host name when the lookup answers.
#include <QSplitter>
#include <QWidget>

#include "analyses/W2frmAddPage.h"
#include "analyses/ui/GridView.h"

class ILocalFormat;
class TMemTableModel;

class TFrameAddPage : public QWidget {
  Q_OBJECT
public:
  TFrameAddPage(const Tglobals& globals, IDialogs& dialogs, IHostLookup& hostLookup, ILocalFormat& format,
                QWidget* parent = nullptr);
  ~TFrameAddPage() override;

  TAddPageAnalysis& Analysis() { return FAnalysis; }

  void CreateTree() { FAnalysis.CreateTree(); }
  void FreeTree() { FAnalysis.FreeTree(); }
  void ClearResults() { FAnalysis.ClearResults(); }
  // Lists the visit of the request at that row of the request grid.
  void tabDataClick(int row);
  // Request grid half the frame's width.
  void FrameResize();
  // The request grid takes clicks only while no run is collecting rows.
  void SyncDataEnabled();

  TGridView* tabData = nullptr;
  TGridView* tabProcess = nullptr;
  QSplitter* Splitter1 = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  IDialogs& FDialogs;
  TAddPageAnalysis FAnalysis;
  TMemTableModel* FDataModel = nullptr;
  TMemTableModel* FProcessModel = nullptr;
};
