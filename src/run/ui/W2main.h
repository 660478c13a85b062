#pragma once
// The program's main window: six tabs with their toolbars, the main menu, the progress bar,
// and every command, run through one helper so that no error leaves a slot.
//
// During a run the window keeps repainting and only the Stop buttons and the tab headers
// respond. Closing the window during a run stops the run and closes the window once the run
// has returned. Log files dropped onto the window are added to the input files as the list
// editor's add command adds them.
#include <QAction>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolBar>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "agents/AgentClassifier.h"
#include "platform/ui/QtRunHost.h"
#include "run/AnalysisRun.h"

class Tglobals;
class TValuesEditor;
class IHostLookup;
class ILocalFormat;
class IConfigWindows;
class TCombinedRun;
class TFrameGeneral;
class TFramePopulareTime;
class TframeTabMGrid;
class TFrameAddPage;
class TFrameOneFile;

inline constexpr const char* OtherProductsAddress = "https://trevalo.example.org/";
// The stored state of "Skip Unreadable Lines" (1: on) below the main key.
inline constexpr const char* SkipBadLinesValue = "SkipUnreadableLines";
// The stored state of "Leave Out Crawlers" (1: on) below the main key.
inline constexpr const char* LeaveOutCrawlersValue = "LeaveOutCrawlers";

class TfrmMain : public QMainWindow {
  Q_OBJECT
public:
  // The settings module carries the dialogs, the settings store and the program folder; the
  // list editor gives the input files and the lock words. windows may be null: the commands
  // that open the other configuration windows are disabled then.
  TfrmMain(Tglobals& globals, TValuesEditor& lists, IHostLookup& hostLookup, ILocalFormat& format,
           IConfigWindows* windows = nullptr, QWidget* parent = nullptr);
  ~TfrmMain() override;

  void EnableControls(bool enabled);
  void UpdateStartButtons();
  // Shows the guide when the settings key does not exist yet (once per start).
  void CheckMainPage();
  bool Running() const { return FRunning; }
  TCombinedRun& Combined() { return *FCombined; }
  TAnalysisRun& Run() { return FRun; }

  // Opens a web address; the system's browser unless replaced.
  void SetUrlOpener(std::function<void(const std::string&)> opener) { FOpenUrl = std::move(opener); }

  QTabWidget* pcMain = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  TFrameGeneral* FrameGeneral1 = nullptr;
  TFramePopulareTime* FramePopulareTime1 = nullptr;
  TframeTabMGrid* frameSearch = nullptr;
  TframeTabMGrid* framePages = nullptr;
  TFrameAddPage* FrameAddPage1 = nullptr;
  TFrameOneFile* FrameOneFile1 = nullptr;
  QComboBox* cmbPopulareChoose = nullptr;
  QComboBox* cmbPopulareAnalyse = nullptr;

  // Toolbar buttons.
  QAction* btnGeneralStart = nullptr;
  QAction* btnGeneralClear = nullptr;
  QAction* btnToggelBrowser = nullptr;
  QAction* btnStop1 = nullptr;
  QAction* btnPopulareChart = nullptr;
  QAction* btnPopulareClear = nullptr;
  QAction* btnStop3 = nullptr;
  QAction* btnStartChart = nullptr;
  QAction* btncChartClear = nullptr;
  QAction* btnEngine = nullptr;
  QAction* btnSelection = nullptr;
  QAction* btnCheck = nullptr;
  QAction* btnStop4 = nullptr;
  QAction* btnPagesStart = nullptr;
  QAction* btnPagesClear = nullptr;
  QAction* btnPagesAll = nullptr;
  QAction* btnStop5 = nullptr;
  QAction* btnProcess = nullptr;
  QAction* btnProcessClear = nullptr;
  QAction* btnShowAll = nullptr;
  QAction* btnStop2 = nullptr;
  QAction* btnOneFile = nullptr;
  QAction* btnOneFileClear = nullptr;

  // Main menu.
  QMenu* menuMain = nullptr;
  QMenu* menuConfiguration = nullptr;
  QMenu* menuHelp = nullptr;
  QAction* menuClearAll = nullptr;
  QAction* menuExit = nullptr;
  QAction* menuInputFiles = nullptr;
  QAction* menuLogFileTypes = nullptr;
  QAction* menuMainPage = nullptr;
  QAction* menuSameUserTime = nullptr;
  QAction* menuSelectAll = nullptr;
  QAction* menuSkipBadLines = nullptr;  // tolerant runs; stored as "SkipUnreadableLines"
  QAction* menuLeaveOutCrawlers = nullptr;  // people only; stored as "LeaveOutCrawlers"
  QAction* menuHelpGuide = nullptr;
  QAction* menuOtherProducts = nullptr;
  QAction* menuAbout = nullptr;

protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  // Building the window (W2main.cpp).
  void CreateFrames();
  void CreateTabs();
  QWidget* AddTab(const QString& caption, QWidget* frame, QToolBar*& toolBar);
  QAction* AddButton(QToolBar* toolBar, const char* name, const QString& hint, int icon, bool check = false);
  void CreateToolBars();
  void CreateMenu();
  void ConnectCommands();
  void ConnectMenu();
  void CreationStep();
  void Centre();
  std::vector<QAction*> RunControls() const;
  bool Available(QAction* action) const;
  void SetWaitCursor(bool wait);

  // Commands (W2mainCommands.cpp).
  void RunCommand(const std::function<void()>& command);
  void RunStart(const std::function<void()>& start);
  void OnCommand(QAction* action, void (TfrmMain::*command)());
  void GeneralStart();
  void PopulareStart();
  void SearchStart();
  void PagesStart();
  void ProcessStart();
  void StartOrRunAll(const std::function<void(const std::vector<std::string>&)>& start);
  void CheckClick(bool byUser);
  void SelectionClick();
  void EngineClick();
  void StopClick();
  void ClearAll();
  void ClearAllTabs();
  void InputFiles();
  void AddDroppedFiles(const std::vector<std::string>& files);
  void LogFileTypes();
  void MainPage();
  void SameUserTime();
  bool LoadCheckItem(QAction* item, const char* valueName);
  bool StoreCheckItem(QAction* item, const char* valueName);
  void LoadSkipBadLines();
  void SkipBadLinesClick();
  void LoadLeaveOutCrawlers();
  void LeaveOutCrawlersClick();
  void HelpGuide();
  void OtherProducts();
  void About();
  void ProcessCheckList();
  void SyncViews();
  std::vector<std::string> InputFileList();

  Tglobals& FGlobals;
  TValuesEditor& FLists;
  IHostLookup& FHostLookup;
  ILocalFormat& FFormat;
  IConfigWindows* FWindows;
  TQtRunHost FRunHost;
  TAnalysisRun FRun;
  TAgentClassifier FAgents;  // the frames' and the runs' names of user agents
  std::unique_ptr<TCombinedRun> FCombined;
  std::function<void(const std::string&)> FOpenUrl;
  bool FRunning = false;
  bool FCloseRequested = false;
  bool FGuideShown = false;
  bool FShownOnce = false;
  bool FWaitCursor = false;
};
