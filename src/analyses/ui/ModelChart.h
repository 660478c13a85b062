#pragma once
// What the bar chart and the pie share: a white widget that draws two columns of a table
// model (labels and values) and redraws whenever the model changes. Once export is enabled,
// a context menu saves the picture as PNG and copies or exports the two columns.
#include <QAbstractItemModel>
#include <QMenu>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <vector>

#include "analyses/ui/TableExport.h"

class TModelChart : public QWidget {
  Q_OBJECT
public:
  void SetModel(QAbstractItemModel* model, int labelColumn, int valueColumn);

  // Adds the context menu; its commands show their errors and ask for file names through dialogs.
  void EnableExport(IDialogs& dialogs);
  QMenu* ExportMenu() const { return FExportMenu; }
  // The menu rests while a run holds the window.
  void SetExportEnabled(bool enabled) { FExportEnabled = enabled; }
  QAction* actSavePng = nullptr;
  QAction* actCopyValues = nullptr;
  QAction* actExportValues = nullptr;

  // The captions of the two columns, then one row per label and value.
  TTextRows TextRows() const;
  void SavePng();

protected:
  TModelChart(QWidget* parent, QSize minimumSize);
  void contextMenuEvent(QContextMenuEvent* event) override;

  QPointer<QAbstractItemModel> FModel;
  int FLabelColumn = 0;
  int FValueColumn = 1;

private:
  std::vector<QMetaObject::Connection> FConnections;
  IDialogs* FDialogs = nullptr;
  QMenu* FExportMenu = nullptr;
  bool FExportEnabled = true;
};
