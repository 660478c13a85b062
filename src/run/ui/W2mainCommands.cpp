// The commands of the main window: starts, clears, toggles and the main menu.
#include <QCloseEvent>
#include <QMetaObject>

#include <exception>

#include "analyses/ui/FrameAddPage.h"
#include "analyses/ui/FrameGeneral.h"
#include "analyses/ui/FrameOneFile.h"
#include "analyses/ui/FramePopulareTime.h"
#include "analyses/ui/FrameTabMGrid.h"
#include "config/ValuesEditor.h"
#include "config/WSGlobal.h"
#include "run/CombinedRun.h"
#include "run/ui/ConfigWindows.h"
#include "run/ui/W2main.h"

namespace {

// The error text of whatever a command threw.
std::string ErrorText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

}  // namespace

// The top-level error handler: no exception leaves a command. The window is usable again
// before the error is shown.
void TfrmMain::RunCommand(const std::function<void()>& command) {
  if (FRunning) return;
  std::exception_ptr error;
  try {
    command();
  } catch (...) {
    error = std::current_exception();
  }
  SyncViews();
  if (error) FGlobals.Dialogs().ShowError(ErrorText(error));
}

// A start command: the window is disabled while it runs and enabled again whatever happens.
void TfrmMain::RunStart(const std::function<void()>& start) {
  if (FRunning) return;
  std::exception_ptr error;
  FRunning = true;
  try {
    EnableControls(false);
    start();
  } catch (...) {
    error = std::current_exception();
  }
  FRunning = false;
  try {
    EnableControls(true);
  } catch (...) {
    if (!error) error = std::current_exception();
  }
  SyncViews();
  if (error) FGlobals.Dialogs().ShowError(ErrorText(error));
  if (FCloseRequested) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TfrmMain::SyncViews() {
  FrameAddPage1->SyncDataEnabled();
  for (TPieChart* pie : {FrameGeneral1->DBChartBrowser, FrameGeneral1->DBChartSystem, FrameGeneral1->DBChartCrawler})
    pie->update();
  FramePopulareTime1->DBChart->update();
}

void TfrmMain::OnCommand(QAction* action, void (TfrmMain::*command)()) {
  connect(action, &QAction::triggered, this, [this, command] { RunCommand([this, command] { (this->*command)(); }); });
}

void TfrmMain::ConnectCommands() {
  connect(btnGeneralStart, &QAction::triggered, this, [this] { RunStart([this] { GeneralStart(); }); });
  connect(btnPopulareChart, &QAction::triggered, this, [this] { RunStart([this] { PopulareStart(); }); });
  connect(btnStartChart, &QAction::triggered, this, [this] { RunStart([this] { SearchStart(); }); });
  connect(btnPagesStart, &QAction::triggered, this, [this] { RunStart([this] { PagesStart(); }); });
  connect(btnProcess, &QAction::triggered, this, [this] { RunStart([this] { ProcessStart(); }); });
  for (QAction* stop : {btnStop1, btnStop2, btnStop3, btnStop4, btnStop5})
    connect(stop, &QAction::triggered, this, &TfrmMain::StopClick);

  connect(btnGeneralClear, &QAction::triggered, this, [this] { RunCommand([this] { FrameGeneral1->ClearResults(); }); });
  connect(btnToggelBrowser, &QAction::triggered, this, [this] { RunCommand([this] { FrameGeneral1->ToggleView(); }); });
  connect(btnPopulareClear, &QAction::triggered, this, [this] { RunCommand([this] { FramePopulareTime1->ClearResults(); }); });
  connect(btncChartClear, &QAction::triggered, this, [this] { RunCommand([this] { frameSearch->ClearResults(); }); });
  connect(btnPagesClear, &QAction::triggered, this, [this] { RunCommand([this] { framePages->ClearResults(); }); });
  connect(btnProcessClear, &QAction::triggered, this, [this] { RunCommand([this] { FrameAddPage1->ClearResults(); }); });
  connect(btnOneFileClear, &QAction::triggered, this, [this] { RunCommand([this] { FrameOneFile1->ClearFile(); }); });
  // The raw view shows a file at once and indexes it in the background: the window stays free.
  connect(btnOneFile, &QAction::triggered, this, [this] { RunCommand([this] { FrameOneFile1->OpenFile(); }); });
  OnCommand(btnEngine, &TfrmMain::EngineClick);
  connect(btnCheck, &QAction::triggered, this, [this] { RunCommand([this] { CheckClick(true); }); });
  OnCommand(btnSelection, &TfrmMain::SelectionClick);
  OnCommand(btnPagesAll, &TfrmMain::ProcessCheckList);
  OnCommand(btnShowAll, &TfrmMain::ProcessCheckList);
}

void TfrmMain::ConnectMenu() {
  OnCommand(menuClearAll, &TfrmMain::ClearAll);
  connect(menuExit, &QAction::triggered, this, &QWidget::close);
  OnCommand(menuInputFiles, &TfrmMain::InputFiles);
  OnCommand(menuLogFileTypes, &TfrmMain::LogFileTypes);
  OnCommand(menuMainPage, &TfrmMain::MainPage);
  OnCommand(menuSameUserTime, &TfrmMain::SameUserTime);
  OnCommand(menuSkipBadLines, &TfrmMain::SkipBadLinesClick);
  OnCommand(menuLeaveOutCrawlers, &TfrmMain::LeaveOutCrawlersClick);
  OnCommand(menuHelpGuide, &TfrmMain::HelpGuide);
  OnCommand(menuOtherProducts, &TfrmMain::OtherProducts);
  OnCommand(menuAbout, &TfrmMain::About);
}

std::vector<std::string> TfrmMain::InputFileList() { return FLists.GetList(false); }

void TfrmMain::StartOrRunAll(const std::function<void(const std::vector<std::string>&)>& start) {
  const auto files = InputFileList();
  if (menuSelectAll->isChecked())
    FCombined->RunAll(files, cmbPopulareAnalyse->currentIndex(), cmbPopulareChoose->currentIndex());
  else
    start(files);
}

void TfrmMain::GeneralStart() {
  StartOrRunAll([this](const auto& files) { FCombined->StartGeneral(files); });
}

void TfrmMain::PopulareStart() {
  StartOrRunAll([this](const auto& files) {
    FCombined->StartPopulareTime(files, cmbPopulareAnalyse->currentIndex(), cmbPopulareChoose->currentIndex());
  });
}

void TfrmMain::SearchStart() {
  StartOrRunAll([this](const auto& files) { FCombined->StartSearch(files); });
}

void TfrmMain::PagesStart() {
  StartOrRunAll([this](const auto& files) { FCombined->StartPages(files); });
}

void TfrmMain::ProcessStart() { FCombined->StartProcess(InputFileList()); }

void TfrmMain::StopClick() { FRun.Stop(); }

void TfrmMain::EngineClick() {
  FCombined->EngineState = FCombined->EngineState == 0 ? 1 : 0;
  btnEngine->setChecked(FCombined->EngineState == 1);
}

// The lock-words toggle. A click by the user applies the lock words (state on) or shows
// their rows again (state off); the button then looks as the state is.
void TfrmMain::CheckClick(bool byUser) {
  FCombined->LockWordsState = FCombined->LockWordsState == 0 ? 1 : 0;
  if (!byUser) return;
  btnCheck->setChecked(FCombined->LockWordsState == 1);
  frameSearch->ApplyLockWords(FLists.GetList(true), FCombined->LockWordsState == 0);
}

// Edits the lock words and applies them: the state ends on.
void TfrmMain::SelectionClick() {
  FLists.EditLockWords();
  UpdateStartButtons();
  if (btnCheck->isEnabled()) {
    CheckClick(true);
    if (FCombined->LockWordsState == 0) CheckClick(true);
  }
  btnCheck->setChecked(true);
}

void TfrmMain::ClearAll() {
  if (FGlobals.Dialogs().Confirm("Clear all tabs?")) ClearAllTabs();
}

// The clear buttons of every tab, in tab order.
void TfrmMain::ClearAllTabs() {
  FrameGeneral1->ClearResults();
  FramePopulareTime1->ClearResults();
  frameSearch->ClearResults();
  framePages->ClearResults();
  FrameAddPage1->ClearResults();
  FrameOneFile1->ClearFile();
  UpdateStartButtons();
}

void TfrmMain::InputFiles() {
  if (FLists.EditInputFiles()) ClearAll();
  UpdateStartButtons();
}

// Dropped files take the way of the input-file command's add button.
void TfrmMain::AddDroppedFiles(const std::vector<std::string>& files) {
  if (FLists.AddInputFiles(files)) ClearAll();
  UpdateStartButtons();
}

void TfrmMain::LogFileTypes() {
  if (FWindows) FWindows->ShowLogFileConfig();
}

void TfrmMain::MainPage() {
  FGlobals.InputRegString("MainPage", "main page", "Please set your main page:");
  UpdateStartButtons();
}

void TfrmMain::SameUserTime() {
  FGlobals.InputRegMinutes("TimeArea", "time area for visitors",
                           "Please set the time area (in minutes), in which the same IP is counted as the same visitor.");
}

// A check item kept in the settings store (1: on): its stored state, shown.
bool TfrmMain::LoadCheckItem(QAction* item, const char* valueName) {
  std::int32_t stored = 0;
  FGlobals.ReadRegInteger(valueName, stored);
  item->setChecked(stored == 1);
  return stored == 1;
}

// The item has toggled already; it shows the new state only once the store holds it.
bool TfrmMain::StoreCheckItem(QAction* item, const char* valueName) {
  const bool on = item->isChecked();
  item->setChecked(!on);
  std::int32_t stored = 0;
  if (!FGlobals.ReadRegInteger(valueName, stored)) FGlobals.CreateRegKey(MainKey);
  FGlobals.WriteRegInteger(valueName, on ? 1 : 0);
  item->setChecked(on);
  return on;
}

void TfrmMain::LoadSkipBadLines() { FRun.SetSkipBadLines(LoadCheckItem(menuSkipBadLines, SkipBadLinesValue)); }

void TfrmMain::SkipBadLinesClick() { FRun.SetSkipBadLines(StoreCheckItem(menuSkipBadLines, SkipBadLinesValue)); }

void TfrmMain::LoadLeaveOutCrawlers() {
  FCombined->SetLeaveOutCrawlers(LoadCheckItem(menuLeaveOutCrawlers, LeaveOutCrawlersValue));
}

void TfrmMain::LeaveOutCrawlersClick() {
  FCombined->SetLeaveOutCrawlers(StoreCheckItem(menuLeaveOutCrawlers, LeaveOutCrawlersValue));
}

void TfrmMain::HelpGuide() {
  if (FWindows) FWindows->ShowHelp();
}

void TfrmMain::OtherProducts() { FOpenUrl(OtherProductsAddress); }

void TfrmMain::About() {
  if (FWindows) FWindows->ShowAbout();
}

void TfrmMain::ProcessCheckList() {
  if (!FWindows) return;
  const std::string key = std::string(MainKey) + "\\ProccesCheckList";
  if (!FGlobals.Store().KeyExists(key)) FGlobals.CreateRegKey(key);
  TAddPageAnalysis& analysis = FrameAddPage1->Analysis();
  FWindows->ShowProcessCheckList([&analysis](ICheckList& box) { analysis.FillCheckList(box); },
                                 [&analysis](const ICheckList& box) { analysis.SaveCheckList(box); });
}
