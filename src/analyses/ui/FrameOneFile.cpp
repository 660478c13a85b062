#include "analyses/ui/FrameOneFile.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QStyle>

#include <exception>

#include "analyses/ui/SlotGuard.h"
#include "config/WSGlobal.h"
#include "log/IndexedLog.h"
#include "log/LineReader.h"

namespace {

constexpr int PollInterval = 40;
// A selection this short on one line is what a new search looks for.
constexpr std::int64_t FindFromSelection = 200;

QString ErrorText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return QString::fromStdString(e.what());
  } catch (...) {
    return "Unknown error";
  }
}

}  // namespace

TFrameOneFile::TFrameOneFile(const Tglobals& globals, IDialogs& dialogs, QWidget* parent)
    : QWidget(parent), FGlobals(globals), FDialogs(dialogs) {
  setObjectName("FrameOneFile1");
  edFilename = new QLineEdit(this);
  edFilename->setObjectName("edFilename");
  edFilename->setReadOnly(true);
  edFilename->setEnabled(false);
  fileText = new TLogView(this);
  fileText->setObjectName("fileText");
  // Queued: the view fails while it paints, where no box may be shown.
  connect(fileText, &TLogView::ReadFailed, this, [this](const QString& message) {
    Note(message);
    FDialogs.ShowError(message.toStdString());
  }, Qt::QueuedConnection);
  connect(fileText, &TLogView::FileCut, this, [this] {
    RunGuarded(FDialogs, [this] {
      if (FLog) Open(FLog->FileName(), "The file was cut short; it is shown again from the start.");
    });
  }, Qt::QueuedConnection);
  CreateFindBar();
  lblStatus = new QLabel(this);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setTextFormat(Qt::PlainText);
  lblStatus->setContentsMargins(4, 2, 4, 2);
  FPoll = new QTimer(this);
  FPoll->setInterval(PollInterval);
  connect(FPoll, &QTimer::timeout, this, [this] { RunGuarded(FDialogs, [this] { Poll(); }); });

  actReload = AddAction("Reload", QKeySequence(Qt::Key_F5), [this] { Reload(); });
  actReload->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  actFind = AddAction("Find", QKeySequence::Find, [this] { ShowFind(); });
  actFind->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  actGoToLine = AddAction("Go to Line", QKeySequence(Qt::CTRL | Qt::Key_G), [this] { GoToLine(); });
  actGoToLine->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  actFindNext = AddAction("Find Next", QKeySequence::FindNext, [this] { FindNext(); });
  actFindPrevious = AddAction("Find Previous", QKeySequence::FindPrevious, [this] { FindPrevious(); });
  ShowStatus();
}

TFrameOneFile::~TFrameOneFile() { StopJobs(); }

QAction* TFrameOneFile::AddAction(const QString& caption, const QKeySequence& key, const std::function<void()>& work) {
  auto* action = new QAction(caption, this);
  action->setShortcut(key);
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  action->setToolTip(QString("%1 (%2)").arg(caption, key.toString(QKeySequence::NativeText)));
  connect(action, &QAction::triggered, this, [this, work] { RunGuarded(FDialogs, work); });
  addAction(action);
  return action;
}

void TFrameOneFile::CreateFindBar() {
  panFind = new QWidget(this);
  panFind->setObjectName("panFind");
  auto* layout = new QHBoxLayout(panFind);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* label = new QLabel("Find:", panFind);
  edFind = new QLineEdit(panFind);
  edFind->setObjectName("edFind");
  edFind->installEventFilter(this);
  label->setBuddy(edFind);
  btnFindPrevious = new QPushButton("Previous", panFind);
  btnFindNext = new QPushButton("Next", panFind);
  chkMatchCase = new QCheckBox("Match case", panFind);
  prgFind = new QProgressBar(panFind);
  prgFind->setRange(0, 1000);
  prgFind->setTextVisible(false);
  prgFind->setMaximumWidth(160);
  btnFindCancel = new QPushButton("Cancel", panFind);
  auto* close = new QPushButton("Close", panFind);
  for (QWidget* w : std::initializer_list<QWidget*>{label, edFind, btnFindPrevious, btnFindNext, chkMatchCase, prgFind, btnFindCancel, close})
    layout->addWidget(w, w == edFind ? 1 : 0);
  prgFind->hide();
  btnFindCancel->hide();
  panFind->hide();
  connect(btnFindNext, &QPushButton::clicked, this, [this] { RunGuarded(FDialogs, [this] { FindNext(); }); });
  connect(btnFindPrevious, &QPushButton::clicked, this, [this] { RunGuarded(FDialogs, [this] { FindPrevious(); }); });
  connect(btnFindCancel, &QPushButton::clicked, this, &TFrameOneFile::CancelFind);
  connect(close, &QPushButton::clicked, this, [this] {
    CancelFind();
    panFind->hide();
    FrameResize();
    fileText->setFocus();
  });
}

// In the find field: Enter finds the next hit, Shift+Enter the previous one, Escape cancels
// a search under way or closes the bar.
bool TFrameOneFile::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edFind && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      const bool back = key->modifiers() & Qt::ShiftModifier;
      RunGuarded(FDialogs, [this, back] { Find(!back); });
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      if (Finding()) {
        CancelFind();
      } else {
        panFind->hide();
        FrameResize();
        fileText->setFocus();
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFrameOneFile::OpenFile() {
  TFileDialogOptions options;
  options.Title = "Open";
  const auto chosen = FDialogs.OpenFiles(FGlobals.MakeOpenDialogReg(options, "", "DirFiles"));
  if (!chosen || chosen->empty()) return;
  LoadFile(chosen->front());
}

void TFrameOneFile::LoadFile(const std::string& path) {
  edFilename->setText(QString::fromStdString(path));
  Open(path, {});
}

// Shows the file from its start; when it cannot be opened, the error leaves and what was
// shown stays.
void TFrameOneFile::Open(const std::string& path, const QString& note) {
  auto log = std::make_shared<TIndexedLog>(path);
  StopJobs();
  fileText->SetLog(log);
  fileText->setFocus();
  FLog = std::move(log);
  FLinesBefore = -1;
  FNote = note;
  StartIndex();
}

void TFrameOneFile::ClearFile() {
  StopJobs();
  fileText->SetLog(nullptr);
  FLog.reset();
  edFilename->clear();
  FNote.clear();
  ShowStatus();
}

void TFrameOneFile::StopJobs() {
  FIndexJob.Cancel();
  FFindJob.Cancel();
  FIndexJob.Wait();
  FFindJob.Wait();
  FIndexJob.TakeError();
  FFindJob.TakeError();
  FIndexPending = FFindPending = false;
  FFindReader.reset();
  prgFind->hide();
  btnFindCancel->hide();
  FPoll->stop();
}

void TFrameOneFile::StartIndex() {
  FIndexPending = true;
  FIndexJob.Start([log = FLog](const std::atomic<bool>& cancel) { log->BuildIndex(cancel); });
  FPoll->start();
  QTimer::singleShot(5, this, [this] { RunGuarded(FDialogs, [this] { Poll(); }); });  // the first screen
  ShowStatus();
}

void TFrameOneFile::Reload() {
  if (!FLog) return;
  switch (FLog->Check()) {
    case TIndexedLog::TChange::Replaced:
      Open(FLog->FileName(), "The file was replaced; it is shown again from the start.");
      break;
    case TIndexedLog::TChange::Cut:
      Open(FLog->FileName(), "The file was cut short; it is shown again from the start.");
      break;
    case TIndexedLog::TChange::Grown:
      if (!Indexing()) {
        FLinesBefore = fileText->LineCount();
        StartIndex();
      }
      break;
    case TIndexedLog::TChange::None:
      if (!Indexing()) Note("No lines added.");
      break;
  }
}

void TFrameOneFile::GoToLine() {
  if (!FLog) return;
  const std::int64_t count = fileText->LineCount();
  const std::int64_t shown = (fileText->CurrentLine() >= 0 ? fileText->CurrentLine() : fileText->TopLine()) + 1;
  const std::string before = std::to_string(shown);
  const std::string answer =
      FDialogs.InputBox("Go to Line", QString("Line number (1 - %1):").arg(count).toStdString(), before);
  if (answer == before) return;
  bool number = false;
  const qlonglong line = QString::fromStdString(answer).trimmed().toLongLong(&number);
  if (!number) {
    Note(QString("\"%1\" is not a line number.").arg(QString::fromStdString(answer)));
  } else if (line < 1 || line > count) {
    Note(Indexing() && line > count ? QString("Line %1 is not indexed yet; %2 lines so far.").arg(line).arg(count)
                                    : QString("There is no line %1; the file has %2 lines.").arg(line).arg(count));
  } else {
    fileText->GoToLine(line - 1);
    fileText->setFocus();
    Note(QString("Line %1").arg(line));
  }
}

void TFrameOneFile::ShowFind() {
  if (fileText->HasSelection()) {
    // A short selection on one line is what the user wants to find, as in most editors.
    const QString selected = fileText->SelectedText();
    if (!selected.contains('\n') && selected.size() <= FindFromSelection) edFind->setText(selected);
  }
  panFind->show();
  FrameResize();
  edFind->setFocus();
  edFind->selectAll();
}

void TFrameOneFile::Find(bool forward) {
  if (!FLog || Finding()) return;
  const std::string text = edFind->text().toStdString();
  if (text.empty()) {
    ShowFind();
    return;
  }
  std::int64_t from = fileText->OffsetOfLine(fileText->TopLine());
  if (const auto hit = fileText->Hit()) {
    const std::int64_t at = fileText->OffsetOfLine(hit->Line) + hit->Column;
    from = forward ? at + 1 : at;
  }
  FFindRequest = {text, chkMatchCase->isChecked(), forward, from};
  FFindReader = FLog->NewReader();
  FFoundAt = -1;
  FFindCancelled = false;
  FFindPending = true;
  FFindJob.Start([this, log = FLog](const std::atomic<bool>& cancel) {
    FFoundAt = FFinder.Find(*log, *FFindReader, FFindRequest, cancel);
    if (FFoundAt < 0) return;
    TLineReader lines(log->Index(), *FFindReader);
    const TTextLine line = lines.LineAt(FFoundAt);
    FFoundPosition = {line.Number, FFoundAt - line.Start};
  });
  prgFind->setValue(0);
  prgFind->show();
  btnFindCancel->show();
  Note(QString("Searching for \"%1\"...").arg(edFind->text()));
  FPoll->start();
}

void TFrameOneFile::CancelFind() {
  if (!FFindJob.Running()) return;
  FFindCancelled = true;
  FFindJob.Cancel();
}

// Takes over what the workers did since the last time.
void TFrameOneFile::Poll() {
  if (!FLog) return;
  fileText->Refresh();
  if (FIndexPending && !FIndexJob.Running()) FinishIndex();
  if (FFindPending && !FFindJob.Running()) FinishFind();
  if (FFindPending) prgFind->setValue(static_cast<int>(FFinder.Progress() * 1000));
  ShowStatus();
  if (!FIndexPending && !FFindPending) FPoll->stop();
}

void TFrameOneFile::FinishIndex() {
  FIndexPending = false;
  fileText->Refresh();
  if (const std::exception_ptr error = FIndexJob.TakeError()) {
    // The lines before the damage stay shown.
    const QString text = ErrorText(error);
    Note(text);
    FDialogs.ShowError(text.toStdString());
  } else if (FLinesBefore >= 0) {
    Note(QString("%1 lines added.").arg(fileText->LineCount() - FLinesBefore));
    FLinesBefore = -1;
  }
}

void TFrameOneFile::FinishFind() {
  FFindPending = false;
  prgFind->hide();
  btnFindCancel->hide();
  const QString text = QString::fromStdString(FFindRequest.Text);
  if (const std::exception_ptr error = FFindJob.TakeError()) {
    Note(ErrorText(error));
  } else if (FFindCancelled) {
    Note("Search cancelled.");
  } else if (FFoundAt >= 0) {
    fileText->SetHit(FFoundPosition, static_cast<std::int64_t>(FFindRequest.Text.size()));
    Note(QString("\"%1\" found in line %2.").arg(text).arg(FFoundPosition.Line + 1));
  } else {
    Note(QString("\"%1\" not found between here and the %2 of the file.").arg(text, FFindRequest.Forward ? "end" : "start"));
  }
}

void TFrameOneFile::Note(const QString& note) {
  FNote = note;
  ShowStatus();
}

void TFrameOneFile::ShowStatus() {
  QString status;
  if (FLog) {
    status = QString("%L1 lines").arg(fileText->LineCount());
    if (FIndexPending) status += QString(", indexing %1 %").arg(static_cast<int>(FLog->BuildProgress() * 100));
    if (FLog->Compressed()) status += ", compressed";
  }
  if (!FNote.isEmpty()) status += (status.isEmpty() ? "" : "   ") + FNote;
  lblStatus->setText(status);
}

void TFrameOneFile::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FrameResize();
}

void TFrameOneFile::FrameResize() {
  const int nameHeight = edFilename->sizeHint().height();
  const int statusHeight = lblStatus->sizeHint().height();
  const int findHeight = panFind->isHidden() ? 0 : panFind->sizeHint().height();
  const int textHeight = std::max(0, height() - nameHeight - 10 - findHeight - statusHeight);
  edFilename->setGeometry(0, 0, width(), nameHeight);
  fileText->setGeometry(0, nameHeight + 10, width(), textHeight);
  panFind->setGeometry(0, nameHeight + 10 + textHeight, width(), findHeight);
  lblStatus->setGeometry(0, height() - statusHeight, width(), statusHeight);
}
