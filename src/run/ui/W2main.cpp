#include "run/ui/W2main.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMetaObject>
#include <QMimeData>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "analyses/ui/FrameAddPage.h"
#include "analyses/ui/FrameGeneral.h"
#include "analyses/ui/FrameOneFile.h"
#include "analyses/ui/FramePopulareTime.h"
#include "analyses/ui/FrameTabMGrid.h"
#include "config/ValuesEditor.h"
#include "config/WSGlobal.h"
#include "platform/Clock.h"
#include "run/CombinedRun.h"
#include "run/ui/ConfigWindows.h"

namespace {

// The regular files among dropped URLs, as local paths; folders and remote URLs are passed over.
std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (QFileInfo(path).isFile()) files.push_back(path.toStdString());
  }
  return files;
}

}  // namespace

TfrmMain::TfrmMain(Tglobals& globals, TValuesEditor& lists, IHostLookup& hostLookup, ILocalFormat& format,
                   IConfigWindows* windows, QWidget* parent)
    : QMainWindow(parent),
      FGlobals(globals),
      FLists(lists),
      FHostLookup(hostLookup),
      FFormat(format),
      FWindows(windows),
      FRun(globals, globals.Dialogs(), FRunHost),
      FOpenUrl([](const std::string& address) { QDesktopServices::openUrl(QUrl(QString::fromStdString(address))); }) {
  setObjectName("frmMain");
  setWindowTitle("Trevalo");
  setAcceptDrops(true);
  resize(749, 668);
  CreateFrames();
  CreateTabs();
  CreateMenu();
  ConnectCommands();
  ConnectMenu();
  FCombined = std::make_unique<TCombinedRun>(FGlobals, FRun, FrameGeneral1->Analysis(), FramePopulareTime1->Analysis(),
                                             frameSearch->Analysis(), framePages->Analysis(),
                                             FrameAddPage1->Analysis(), FAgents, NowLocal);
  CreationStep();
  Centre();
}

TfrmMain::~TfrmMain() {
  SetWaitCursor(false);
  FCombined.reset();
  frameSearch->FreeLists();
  framePages->FreeLists();
  FrameAddPage1->FreeTree();
  FRunHost.SetProgressBar(nullptr);
  delete takeCentralWidget();  // the frames go before what they were given
}

void TfrmMain::CreateFrames() {
  IDialogs& dialogs = FGlobals.Dialogs();
  FrameGeneral1 = new TFrameGeneral(FGlobals, FFormat, FAgents);
  FramePopulareTime1 = new TFramePopulareTime(FGlobals);
  frameSearch = new TframeTabMGrid(dialogs, FFormat);
  frameSearch->setObjectName("frameSearch");
  framePages = new TframeTabMGrid(dialogs, FFormat);
  framePages->setObjectName("framePages");
  FrameAddPage1 = new TFrameAddPage(FGlobals, dialogs, FHostLookup, FFormat);
  FrameOneFile1 = new TFrameOneFile(FGlobals, dialogs);
}

QWidget* TfrmMain::AddTab(const QString& caption, QWidget* frame, QToolBar*& toolBar) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  toolBar = new QToolBar(page);
  toolBar->setIconSize(QSize(20, 20));
  layout->addWidget(toolBar);
  layout->addWidget(frame, 1);
  pcMain->addTab(page, caption);
  return page;
}

QAction* TfrmMain::AddButton(QToolBar* toolBar, const char* name, const QString& hint, int icon, bool check) {
  auto* action = new QAction(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)), hint, this);
  action->setObjectName(name);
  action->setToolTip(hint);
  action->setCheckable(check);
  toolBar->addAction(action);
  return action;
}

void TfrmMain::CreateTabs() {
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  pcMain = new QTabWidget(central);
  pcMain->setObjectName("pcMain");
  ProgressBar1 = new QProgressBar(central);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setFixedHeight(8);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setRange(0, 1);
  ProgressBar1->setValue(0);
  layout->addWidget(pcMain, 1);
  layout->addWidget(ProgressBar1);
  setCentralWidget(central);
  FRunHost.SetProgressBar(ProgressBar1);
  CreateToolBars();
}

void TfrmMain::CreateToolBars() {
  QToolBar* bar = nullptr;
  AddTab("Short Statistics", FrameGeneral1, bar);
  btnGeneralStart = AddButton(bar, "btnGeneralStart", "start", QStyle::SP_MediaPlay);
  btnGeneralClear = AddButton(bar, "btnGeneralClear", "Clear", QStyle::SP_DialogResetButton);
  bar->addSeparator();
  btnToggelBrowser = AddButton(bar, "btnToggelBrowser", "toggle view", QStyle::SP_FileDialogDetailedView, true);
  btnStop1 = AddButton(bar, "btnStop1", "", QStyle::SP_MediaStop);

  AddTab("Hits per..", FramePopulareTime1, bar);
  btnPopulareChart = AddButton(bar, "btnPopulareChart", "start", QStyle::SP_MediaPlay);
  btnPopulareClear = AddButton(bar, "btnPopulareClear", "clear", QStyle::SP_DialogResetButton);
  bar->addSeparator();
  btnStop3 = AddButton(bar, "btnStop3", "", QStyle::SP_MediaStop);
  cmbPopulareChoose = new QComboBox(bar);
  cmbPopulareChoose->setObjectName("cmbPopulareChoose");
  cmbPopulareChoose->setFixedWidth(195);
  cmbPopulareChoose->setMaxVisibleItems(2);
  cmbPopulareChoose->view()->setMinimumWidth(240);  // both items readable when dropped down
  cmbPopulareAnalyse = new QComboBox(bar);
  cmbPopulareAnalyse->setObjectName("cmbPopulareAnalyse");
  cmbPopulareAnalyse->setFixedWidth(87);
  bar->addWidget(cmbPopulareChoose);
  bar->addWidget(cmbPopulareAnalyse);

  AddTab("Search Criterion", frameSearch, bar);
  btnStartChart = AddButton(bar, "btnStartChart", "start", QStyle::SP_MediaPlay);
  btncChartClear = AddButton(bar, "btncChartClear", "clear", QStyle::SP_DialogResetButton);
  bar->addSeparator();
  btnEngine = AddButton(bar, "btnEngine", "search engine", QStyle::SP_DriveNetIcon, true);
  btnSelection = AddButton(bar, "btnSelection", "set locked words", QStyle::SP_FileDialogContentsView);
  btnCheck = AddButton(bar, "btnCheck", "lock words", QStyle::SP_DialogNoButton, true);
  btnStop4 = AddButton(bar, "btnStop4", "", QStyle::SP_MediaStop);

  AddTab("Pages", framePages, bar);
  btnPagesStart = AddButton(bar, "btnPagesStart", "start", QStyle::SP_MediaPlay);
  btnPagesClear = AddButton(bar, "btnPagesClear", "clear", QStyle::SP_DialogResetButton);
  bar->addSeparator();
  btnPagesAll = AddButton(bar, "btnPagesAll", "pages / process check list", QStyle::SP_FileDialogListView);
  btnStop5 = AddButton(bar, "btnStop5", "", QStyle::SP_MediaStop);

  AddTab("Process", FrameAddPage1, bar);
  btnProcess = AddButton(bar, "btnProcess", "start", QStyle::SP_MediaPlay);
  btnProcessClear = AddButton(bar, "btnProcessClear", "clear", QStyle::SP_DialogResetButton);
  bar->addSeparator();
  btnShowAll = AddButton(bar, "btnShowAll", "pages / process check list", QStyle::SP_FileDialogListView);
  btnStop2 = AddButton(bar, "btnStop2", "", QStyle::SP_MediaStop);

  AddTab("View Raw File", FrameOneFile1, bar);
  btnOneFile = AddButton(bar, "btnOneFile", "open", QStyle::SP_DialogOpenButton);
  btnOneFileClear = AddButton(bar, "btnOneFileClear", "clear", QStyle::SP_DialogResetButton);
  bar->addSeparator();
  bar->addActions(FrameOneFile1->ToolActions());
}

void TfrmMain::CreateMenu() {
  auto add = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
  };
  menuMain = menuBar()->addMenu("&Main");
  menuMain->setObjectName("menuMain");
  menuClearAll = add(menuMain, "menuClearAll", "Clear &All", QKeySequence("Ctrl+A"));
  menuMain->addSeparator();
  menuExit = add(menuMain, "menuExit", "&Exit", QKeySequence("Ctrl+Q"));

  menuConfiguration = menuBar()->addMenu("&Configuration");
  menuConfiguration->setObjectName("menuConfiguration");
  menuInputFiles = add(menuConfiguration, "menuInputFiles", "&Input Files", QKeySequence("Ctrl+I"));
  menuLogFileTypes = add(menuConfiguration, "menuLogFileTypes", "&Log File Types", QKeySequence("Ctrl+L"));
  menuConfiguration->addSeparator();
  menuMainPage = add(menuConfiguration, "menuMainPage", "&Main Page", QKeySequence("Ctrl+M"));
  menuSameUserTime = add(menuConfiguration, "menuSameUserTime", "&Same User Time", QKeySequence("Ctrl+S"));
  menuSelectAll = add(menuConfiguration, "menuSelectAll", "&Select All");
  menuSelectAll->setCheckable(true);
  menuSelectAll->setChecked(true);
  menuSkipBadLines = add(menuConfiguration, "menuSkipBadLines", "Skip &Unreadable Lines");
  menuSkipBadLines->setCheckable(true);
  menuLeaveOutCrawlers = add(menuConfiguration, "menuLeaveOutCrawlers", "Leave Out &Crawlers");
  menuLeaveOutCrawlers->setCheckable(true);

  menuHelp = menuBar()->addMenu("&Help");
  menuHelp->setObjectName("menuHelp");
  menuHelpGuide = add(menuHelp, "menuHelpGuide", "&Help");
  menuHelp->addSeparator();
  menuOtherProducts = add(menuHelp, "menuOtherProducts", "Other Products");
  menuAbout = add(menuHelp, "menuAbout", "&About Trevalo");
  for (QAction* action : {menuLogFileTypes, menuHelpGuide, menuAbout, btnPagesAll, btnShowAll})
    action->setEnabled(Available(action));
}

// Commands that open a configuration window exist only with the windows.
bool TfrmMain::Available(QAction* action) const {
  const bool needsWindows = action == menuLogFileTypes || action == menuHelpGuide || action == menuAbout ||
                            action == btnPagesAll || action == btnShowAll;
  return !needsWindows || FWindows != nullptr;
}

// The creation step: what the window sets up before the settings and the lists are asked.
void TfrmMain::CreationStep() {
  frameSearch->CreateLists();
  framePages->CreateLists();
  FrameAddPage1->CreateTree();
  pcMain->setCurrentIndex(0);
  TFramePopulareTime::FillChooseItems(*cmbPopulareChoose);
  TFramePopulareTime::FillAnalyseItems(*cmbPopulareAnalyse);
  FrameOneFile1->ClearFile();
  RunCommand([this] {
    FramePopulareTime1->CreateSearchUser();
    FrameGeneral1->CreateSearchUser();
  });
  RunCommand([this] { LoadSkipBadLines(); });
  RunCommand([this] { LoadLeaveOutCrawlers(); });
}

void TfrmMain::Centre() {
  if (const QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

// Every control a run disables; the Stop buttons and the tabs are not among them.
std::vector<QAction*> TfrmMain::RunControls() const {
  std::vector<QAction*> controls{btnGeneralStart, btnGeneralClear, btnToggelBrowser, btnProcess, btnProcessClear,
                                 btnShowAll, btnPopulareChart, btnPopulareClear, btnPagesStart, btnPagesAll,
                                 btnPagesClear, btnStartChart, btncChartClear, btnEngine, btnSelection, btnCheck,
                                 btnOneFile, btnOneFileClear};
  for (QAction* action : FrameOneFile1->actions()) controls.push_back(action);
  return controls;
}

void TfrmMain::SetWaitCursor(bool wait) {
  if (wait == FWaitCursor) return;
  FWaitCursor = wait;
  if (wait) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void TfrmMain::EnableControls(bool enabled) {
  SetWaitCursor(!enabled);
  for (QMenu* menu : {menuMain, menuConfiguration, menuHelp}) {
    menu->menuAction()->setEnabled(enabled);
    // The entries too, so that their shortcuts rest as well.
    for (QAction* action : menu->actions()) action->setEnabled(enabled && Available(action));
  }
  for (QAction* action : RunControls()) action->setEnabled(enabled && Available(action));
  for (TGridView* grid : findChildren<TGridView*>()) grid->SetExportEnabled(enabled);
  for (TModelChart* chart : findChildren<TModelChart*>()) chart->SetExportEnabled(enabled);
  cmbPopulareChoose->setEnabled(enabled);
  cmbPopulareAnalyse->setEnabled(enabled);
  if (enabled) UpdateStartButtons();
}

void TfrmMain::UpdateStartButtons() {
  std::string mainPage;
  FGlobals.ReadRegString("MainPage", mainPage);
  const bool files = FLists.HasInputFiles();
  btnCheck->setEnabled(files && frameSearch->RowCount() > 0);
  btnGeneralStart->setEnabled(files);
  btnStartChart->setEnabled(files);
  btnPopulareChart->setEnabled(files);
  btnProcess->setEnabled(files && !mainPage.empty());
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FShownOnce) return;
  FShownOnce = true;
  activateWindow();  // also where no window manager activates new windows
  RunCommand([this] {
    const bool files = FLists.HasInputFiles();
    btnStartChart->setEnabled(files);
    btnPopulareChart->setEnabled(files);
    UpdateStartButtons();
  });
}

void TfrmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) RunCommand([this] { CheckMainPage(); });
}

void TfrmMain::CheckMainPage() {
  if (FGuideShown || FWindows == nullptr) return;
  bool known = false;
  try {
    known = FGlobals.Store().KeyExists(MainKey);
  } catch (...) {
    // A settings file that cannot be read is reported once, not at every activation: its
    // error box would activate the window again as it closes.
    FGuideShown = true;
    throw;
  }
  if (known) return;
  FGuideShown = true;
  HelpGuide();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (FRunning) {
    // The run returns at its next test of the stop flag; the window closes then.
    FCloseRequested = true;
    FRun.Stop();
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!FRunning && !DroppedFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DroppedFiles(event->mimeData());
  if (FRunning || files.empty()) return;
  event->acceptProposedAction();
  // The drop ends first: the question that may follow must not hold up the program the files
  // came from.
  QMetaObject::invokeMethod(
      this, [this, files] { RunCommand([this, &files] { AddDroppedFiles(files); }); }, Qt::QueuedConnection);
}
