#pragma once
// The "View Raw File" tab: the name of a file above its text, read-only, for files of any
// size. Opening shows the first lines at once while the line index is built in the background
// (log/IndexedLog.h); the text area (TLogView) reads only the lines on screen, so the memory
// taken is the index's (a quarter byte per line of a usual log) and a few screens of text.
//
// Below the text: the find bar (Ctrl+F; Enter or F3 finds the next hit, Shift+Enter or
// Shift+F3 the previous one, on a worker thread with progress and a cancel button) and a
// status line with the line count, the progress of the index and notes. "Go to Line" (Ctrl+G)
// asks for a line number. "Reload" (F5) shows the lines a growing log has added, keeping the
// position; a log cut short or replaced meanwhile is shown again from the start with a note,
// and so is one found cut short while it is shown. A compressed log shows the text it holds.
// The worker threads only read the file and the index; everything they find is taken over
// on this thread by a timer that runs while they work.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "analyses/ui/LogView.h"
#include "log/BackgroundJob.h"
#include "log/TextFinder.h"

class Tglobals;
class IDialogs;
class TIndexedLog;
class TPieceReader;

class TFrameOneFile : public QWidget {
  Q_OBJECT
public:
  TFrameOneFile(const Tglobals& globals, IDialogs& dialogs, QWidget* parent = nullptr);
  ~TFrameOneFile() override;

  // Asks for a file (starting in the folder stored as "DirFiles") and shows it. A file that
  // cannot be opened raises the file error; the name field already shows the new name then.
  void OpenFile();
  // Shows the file named; the text area keeps its text when the file cannot be opened.
  void LoadFile(const std::string& path);
  void ClearFile();
  void Reload();
  void GoToLine();
  void ShowFind();
  void FindNext() { Find(true); }
  void FindPrevious() { Find(false); }
  void CancelFind();
  bool Indexing() const { return FIndexJob.Running() || FIndexPending; }
  bool Finding() const { return FFindJob.Running() || FFindPending; }
  // For the tab's toolbar: "Reload", "Find", "Go to Line".
  QList<QAction*> ToolActions() const { return {actReload, actFind, actGoToLine}; }

  // Name field at the top as wide as the text area; the text area below, 10 pixels apart;
  // then the find bar (while shown) and the status line.
  void FrameResize();

  QLineEdit* edFilename = nullptr;
  TLogView* fileText = nullptr;
  QWidget* panFind = nullptr;
  QLineEdit* edFind = nullptr;
  QCheckBox* chkMatchCase = nullptr;
  QPushButton* btnFindNext = nullptr;
  QPushButton* btnFindPrevious = nullptr;
  QPushButton* btnFindCancel = nullptr;
  QProgressBar* prgFind = nullptr;
  QLabel* lblStatus = nullptr;
  QAction* actReload = nullptr;
  QAction* actFind = nullptr;
  QAction* actGoToLine = nullptr;
  QAction* actFindNext = nullptr;
  QAction* actFindPrevious = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateFindBar();
  QAction* AddAction(const QString& caption, const QKeySequence& key, const std::function<void()>& work);
  void Open(const std::string& path, const QString& note);
  void StopJobs();
  void StartIndex();
  void Find(bool forward);
  void Poll();
  void FinishIndex();
  void FinishFind();
  void ShowStatus();
  void Note(const QString& note);

  const Tglobals& FGlobals;
  IDialogs& FDialogs;
  std::shared_ptr<TIndexedLog> FLog;
  QTimer* FPoll = nullptr;
  QString FNote;
  std::int64_t FLinesBefore = -1;  // of a reload that reads on, for its note

  // The search: set up here before its job starts, its result written by the job.
  TTextFinder FFinder;
  std::unique_ptr<TPieceReader> FFindReader;
  TFindRequest FFindRequest;
  std::int64_t FFoundAt = -1;
  TLogView::TPosition FFoundPosition;
  bool FFindCancelled = false;

  bool FIndexPending = false;  // a job ended whose end was not taken over yet
  bool FFindPending = false;
  // Last, so that they stop before what they use goes.
  TBackgroundJob FIndexJob;
  TBackgroundJob FFindJob;
};
