#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "run/WindowFixture.h"
#include "support/UiTest.h"

using uitest::TWindowFixture;

class TMainWindowTest : public QObject {
  Q_OBJECT

private slots:
  void WindowHasItsTabsToolbarsAndMenu() {
    TWindowFixture f;
    TfrmMain& w = *f.Window;
    QCOMPARE(w.windowTitle(), QString("Trevalo"));
    QCOMPARE(w.size(), QSize(749, 668));
    const QStringList tabs{"Short Statistics", "Hits per..", "Search Criterion", "Pages", "Process", "View Raw File"};
    QCOMPARE(w.pcMain->count(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i) QCOMPARE(w.pcMain->tabText(i), tabs[i]);
    QCOMPARE(w.pcMain->currentIndex(), 0);
    QCOMPARE(w.ProgressBar1->height(), 8);

    const std::vector<std::tuple<QAction*, QString, bool>> buttons{
        {w.btnGeneralStart, "start", false}, {w.btnGeneralClear, "Clear", false},
        {w.btnToggelBrowser, "toggle view", true}, {w.btnPopulareClear, "clear", false},
        {w.btnEngine, "search engine", true}, {w.btnSelection, "set locked words", false},
        {w.btnCheck, "lock words", true}, {w.btnPagesAll, "pages / process check list", false},
        {w.btnShowAll, "pages / process check list", false}, {w.btnOneFile, "open", false},
        {w.btnOneFileClear, "clear", false}, {w.btnStop1, "", false}};
    for (const auto& [action, hint, check] : buttons) {
      QCOMPARE(action->toolTip(), hint);
      QCOMPARE(action->isCheckable(), check);
      QVERIFY(!action->icon().isNull());
    }
    QCOMPARE(w.cmbPopulareChoose->width(), 195);
    QCOMPARE(w.cmbPopulareChoose->itemText(1), QString("most popular day of the week"));
    QCOMPARE(w.cmbPopulareAnalyse->itemText(1), QString("per user"));

    const std::vector<std::tuple<QAction*, QString, QString>> entries{
        {w.menuClearAll, "Clear &All", "Ctrl+A"}, {w.menuExit, "&Exit", "Ctrl+Q"},
        {w.menuInputFiles, "&Input Files", "Ctrl+I"}, {w.menuLogFileTypes, "&Log File Types", "Ctrl+L"},
        {w.menuMainPage, "&Main Page", "Ctrl+M"}, {w.menuSameUserTime, "&Same User Time", "Ctrl+S"},
        {w.menuSelectAll, "&Select All", ""}, {w.menuSkipBadLines, "Skip &Unreadable Lines", ""},
        {w.menuLeaveOutCrawlers, "Leave Out &Crawlers", ""},
        {w.menuHelpGuide, "&Help", ""},
        {w.menuOtherProducts, "Other Products", ""}, {w.menuAbout, "&About Trevalo", ""}};
    for (const auto& [action, caption, shortcut] : entries) {
      QCOMPARE(action->text(), caption);
      QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    }
    QCOMPARE(w.menuMain->title(), QString("&Main"));
    QCOMPARE(w.menuConfiguration->title(), QString("&Configuration"));
    QCOMPARE(w.menuHelp->title(), QString("&Help"));
    QVERIFY(w.menuSelectAll->isCheckable() && w.menuSelectAll->isChecked());
    QVERIFY(w.menuConfiguration->actions().contains(w.menuSkipBadLines));
    QVERIFY(w.menuSkipBadLines->isCheckable() && !w.menuSkipBadLines->isChecked());
  }

  // Off by default; on, it is kept in the settings store and runs step over unreadable lines.
  void SkipUnreadableLinesIsStoredAndMakesRunsTolerant() {
    TWindowFixture f;
    auto lines = uitest::SmallLog();
    lines.insert(lines.begin() + 2, "10.0.0.9 - - [yesterday] \"GET /a.html HTTP/1.1\" 200 10 \"-\" \"Mozilla/5.0\"");
    const std::string log = f.Program.UseLog(lines);
    f.Show();
    QAction* item = f.Window->menuSkipBadLines;
    f.Window->btnGeneralStart->trigger();
    QCOMPARE(f.Program.Errors().size(), std::size_t(1));
    QVERIFY(f.Program.Errors()[0].find("line 3)") != std::string::npos);

    item->trigger();
    QVERIFY(item->isChecked());
    std::int32_t stored = -1;
    QVERIFY(f.Program.Globals->ReadRegInteger(SkipBadLinesValue, stored));
    QCOMPARE(stored, 1);
    f.Window->btnGeneralStart->trigger();
    QCOMPARE(f.Program.Errors().size(), std::size_t(1));  // no new error
    QCOMPARE(f.Program.Dialogs.TextsOf("message"),
             std::vector<std::string>{"1 line(s) could not be read and were skipped; the first was line 3 of " + log + "."});
    QCOMPARE(f.Window->FrameGeneral1->Analysis().kbmGeneral.AsStringAt(3, 1), std::string("6"));  // hits

    // A window made later starts as stored.
    TfrmMain later(*f.Program.Globals, f.Lists, f.Program.HostLookup, f.Program.Format);
    QVERIFY(later.menuSkipBadLines->isChecked() && later.Run().SkipBadLines());

    item->trigger();
    QVERIFY(!item->isChecked() && !f.Window->Run().SkipBadLines());
    QVERIFY(f.Program.Globals->ReadRegInteger(SkipBadLinesValue, stored));
    QCOMPARE(stored, 0);
  }

  // Off by default; on, it is kept in the settings store, and a log of crawlers gives no hits.
  void LeaveOutCrawlersIsStoredAndLeavesCrawlersOut() {
    TWindowFixture f;
    f.Program.UseLog({"9.9.9.9 - - [02/Jan/2023:10:00:00 +0000] \"GET / HTTP/1.1\" 200 10 \"-\" "
                      "\"Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)\"",
                      "8.8.8.8 - - [02/Jan/2023:10:00:01 +0000] \"GET / HTTP/1.1\" 200 10 \"-\" \"curl/8.4.0\""});
    f.Show();
    QAction* item = f.Window->menuLeaveOutCrawlers;
    QVERIFY(item->isCheckable() && !item->isChecked());
    const TGeneralAnalysis& general = f.Window->FrameGeneral1->Analysis();
    f.Window->btnGeneralStart->trigger();
    QCOMPARE(general.kbmGeneral.AsStringAt(3, 1), std::string("2"));  // hits
    QCOMPARE(f.Window->FrameGeneral1->DBChartCrawler->Slices().size(), std::size_t(2));

    item->trigger();
    std::int32_t stored = -1;
    QVERIFY(f.Program.Globals->ReadRegInteger(LeaveOutCrawlersValue, stored));
    QCOMPARE(stored, 1);
    f.Window->btnGeneralStart->trigger();
    QVERIFY(f.Program.Errors().empty());
    QCOMPARE(general.kbmGeneral.AsStringAt(3, 1), std::string("0"));
    QCOMPARE(general.kbmGeneral.AsStringAt(7, 0), std::string(CrawlersLeftOutCaption));
    QCOMPARE(general.kbmGeneral.AsStringAt(7, 1), std::string("2"));
    QVERIFY(f.Window->FrameGeneral1->DBChartCrawler->Slices().empty());

    TfrmMain later(*f.Program.Globals, f.Lists, f.Program.HostLookup, f.Program.Format);
    QVERIFY(later.menuLeaveOutCrawlers->isChecked() && later.Combined().LeaveOutCrawlers());
    item->trigger();
    QVERIFY(!item->isChecked() && !f.Window->Combined().LeaveOutCrawlers());
  }

  // A damaged agent data file is named when a run starts, and nothing runs.
  void DamagedAgentDataIsShownAndNothingRuns() {
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    testsupport::WriteBytes(f.Program.ConfigFile("agentdata.lac"), "'kind';'regex'\r\n'browser';'x'\r\n");
    f.Show();
    f.Window->btnGeneralStart->trigger();
    QCOMPARE(f.Program.Errors().size(), std::size_t(1));
    QVERIFY(f.Program.Errors()[0].find(f.Program.ConfigFile("agentdata.lac")) != std::string::npos);
    QVERIFY(!f.Window->FrameGeneral1->Analysis().kbmGeneral.Active());
    QVERIFY(f.Window->btnGeneralStart->isEnabled());
  }

  void WithoutConfigurationWindowsTheirCommandsAreDisabled() {
    TWindowFixture f(false);
    f.Show();
    for (QAction* action : {f.Window->menuLogFileTypes, f.Window->menuHelpGuide, f.Window->menuAbout,
                            f.Window->btnPagesAll, f.Window->btnShowAll})
      QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(f.Window->menuMainPage->isEnabled() && f.Window->menuInputFiles->isEnabled());
  }

  void StartButtonsFollowInputFilesAndMainPage_data() {
    QTest::addColumn<bool>("files");
    QTest::addColumn<bool>("mainPage");
    QTest::addColumn<bool>("firstThree");
    QTest::addColumn<bool>("process");
    QTest::newRow("nothing") << false << false << false << false;
    QTest::newRow("main page only") << false << true << false << false;
    QTest::newRow("files only") << true << false << true << false;
    QTest::newRow("files and main page") << true << true << true << true;
  }
  void StartButtonsFollowInputFilesAndMainPage() {
    QFETCH(bool, files);
    QFETCH(bool, mainPage);
    QFETCH(bool, firstThree);
    QFETCH(bool, process);
    TWindowFixture f;
    if (files) f.Program.UseLog(uitest::SmallLog());
    if (mainPage) f.Program.SetMainPage("/index.html");
    f.Show();
    for (QAction* start : {f.Window->btnGeneralStart, f.Window->btnPopulareChart, f.Window->btnStartChart})
      QCOMPARE(start->isEnabled(), firstThree);
    QCOMPARE(f.Window->btnProcess->isEnabled(), process);
    QVERIFY(f.Window->btnPagesStart->isEnabled());
    QVERIFY(!f.Window->btnCheck->isEnabled());  // no search phrases yet
  }

  void MainPageCommandEnablesProcess() {
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    f.Show();
    QVERIFY(!f.Window->btnProcess->isEnabled());
    f.Program.Dialogs.InputAnswers.push_back(std::string("/index.html"));
    f.Window->menuMainPage->trigger();
    QCOMPARE(f.Program.Dialogs.TextsOf("input").at(0), std::string("main page|Please set your main page:|"));
    QVERIFY(f.Window->btnProcess->isEnabled());

    f.Program.Dialogs.InputAnswers.push_back(std::string("20"));
    f.Window->menuSameUserTime->trigger();
    QCOMPARE(f.Program.Globals->GetTimeArea(), 20.0 / 1440.0);
    QVERIFY(f.Program.Errors().empty());
  }

  void EachStartAloneFillsOnlyItsTab_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("filled");
    QTest::newRow("short statistics") << "btnGeneralStart" << "general";
    QTest::newRow("hits per") << "btnPopulareChart" << "populare";
    QTest::newRow("search criterion") << "btnStartChart" << "search";
    QTest::newRow("pages") << "btnPagesStart" << "pages";
    QTest::newRow("process") << "btnProcess" << "process";
  }
  void EachStartAloneFillsOnlyItsTab() {
    QFETCH(QString, button);
    QFETCH(QString, filled);
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    f.Program.SetMainPage("/index.html");
    f.Show();
    f.Window->menuSelectAll->setChecked(false);
    f.Window->findChild<QAction*>(button)->trigger();
    QVERIFY2(f.Program.Errors().empty(), f.Program.Errors().empty() ? "" : f.Program.Errors()[0].c_str());
    QCOMPARE(f.GeneralRows() > 0, filled == "general");
    QCOMPARE(f.PopulareRows() > 0, filled == "populare");
    QCOMPARE(f.SearchRows() > 0, filled == "search");
    QCOMPARE(f.PagesRows() > 0, filled == "pages");
    QCOMPARE(f.ProcessRows() > 0, filled == "process");
    QVERIFY(f.Window->btnGeneralStart->isEnabled());  // enabled again
  }

  void SelectAllFillsFourTabsInOneRun_data() {
    QTest::addColumn<QString>("button");
    for (const char* name : {"btnGeneralStart", "btnPopulareChart", "btnStartChart", "btnPagesStart"})
      QTest::newRow(name) << name;
  }
  void SelectAllFillsFourTabsInOneRun() {
    QFETCH(QString, button);
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    f.Program.SetMainPage("/index.html");
    f.Show();
    f.Window->findChild<QAction*>(button)->trigger();
    QCOMPARE(f.GeneralRows(), 7);
    QCOMPARE(f.PopulareRows(), 24);
    QVERIFY(f.SearchRows() > 0);
    QVERIFY(f.PagesRows() > 0);
    QCOMPARE(f.ProcessRows(), 0);
    QVERIFY(f.Window->btnCheck->isEnabled());  // the search grid has rows now
  }

  void StopEndsTheRunAndOnlyStopAndTabsRespondMeanwhile() {
    TWindowFixture f;
    f.Program.UseLog(uitest::LongLog(3000));
    f.Show();
    f.Window->menuSelectAll->setChecked(false);
    bool checked = false;
    QTimer::singleShot(0, f.Window.get(), [&] {
      TfrmMain& w = *f.Window;
      QVERIFY(w.Running());
      QVERIFY(!w.btnGeneralClear->isEnabled() && !w.btnOneFile->isEnabled() && !w.btnSelection->isEnabled());
      QVERIFY(!w.cmbPopulareChoose->isEnabled());
      QVERIFY(!w.menuMain->menuAction()->isEnabled() && !w.menuClearAll->isEnabled());
      QVERIFY(w.btnStop1->isEnabled() && w.btnStop5->isEnabled());
      QVERIFY(w.pcMain->isEnabled());
      w.pcMain->setCurrentIndex(2);  // the tabs can be switched
      w.btnGeneralStart->trigger();  // ignored: disabled, and a run is under way
      w.btnStop3->trigger();
      checked = true;
    });
    f.Window->btnGeneralStart->trigger();
    QVERIFY(checked);
    QVERIFY(f.Window->Run().Processed() < 3000);
    // A stopped run shows what it gathered; "Hits" is the count of the counting pass.
    const TMemTable& general = f.Window->FrameGeneral1->Analysis().kbmGeneral;
    QCOMPARE(general.AsStringAt(3, 1), std::string("3000"));
    QVERIFY(f.Window->btnGeneralClear->isEnabled());
    QCOMPARE(f.Window->ProgressBar1->value(), 0);

    // The next run is not stopped by the earlier press.
    f.Window->btnGeneralStart->trigger();
    QCOMPARE(f.Window->Run().Processed(), 3000);
  }

  void ClosingDuringARunStopsItAndClosesAfterwards() {
    TWindowFixture f;
    f.Program.UseLog(uitest::LongLog(3000));
    f.Show();
    bool closedDuringRun = true;
    QTimer::singleShot(0, f.Window.get(), [&] { closedDuringRun = f.Window->close(); });
    f.Window->btnGeneralStart->trigger();
    QVERIFY(!closedDuringRun);  // deferred until the run returned
    QVERIFY(f.Window->Run().Processed() < 3000);
    QTRY_VERIFY(!f.Window->isVisible());
  }

  void ClearButtonsAndClearAll() {
    TWindowFixture f;
    const std::string log = f.Program.UseLog(uitest::SmallLog());
    f.Show();
    f.Window->btnGeneralStart->trigger();  // Select All: four tabs
    f.Window->FrameOneFile1->LoadFile(log);

    f.Window->btnGeneralClear->trigger();
    QCOMPARE(f.GeneralRows(), 0);
    QCOMPARE(f.PopulareRows(), 24);

    f.Program.Dialogs.ConfirmAnswers.push_back(false);
    f.Window->menuClearAll->trigger();
    QCOMPARE(f.Program.Dialogs.TextsOf("confirm"), std::vector<std::string>{"Clear all tabs?"});
    QCOMPARE(f.PopulareRows(), 24);
    QVERIFY(f.PagesRows() > 0);
    QTRY_COMPARE(f.Window->FrameOneFile1->fileText->LineCount(), 6);

    f.Program.Dialogs.ConfirmAnswers.push_back(true);
    f.Window->menuClearAll->trigger();
    QCOMPARE(f.PopulareRows(), 0);
    QCOMPARE(f.SearchRows(), 0);
    QCOMPARE(f.PagesRows(), 0);
    QCOMPARE(f.Window->FrameOneFile1->fileText->LineCount(), 0);
    QVERIFY(f.Window->FrameOneFile1->edFilename->text().isEmpty());
    QVERIFY(!f.Window->btnCheck->isEnabled());
  }

  void SelectionAppliesTheEditedLockWords() {
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    f.Show();
    f.Window->btnStartChart->trigger();
    TTabMGridAnalysis& search = f.Window->frameSearch->Analysis();
    QVERIFY(search.kbmSummen.RecordCount() >= 2);

    int edits = 0;
    f.Lists.SetShowModal([&] {
      ++edits;
      QCOMPARE(f.Lists.Mode(), TValuesMode::LockWords);
      f.Program.WriteList("BaneWords.lst", {"SHOES"});
    });
    f.Window->btnSelection->trigger();
    QCOMPARE(edits, 1);
    QCOMPARE(f.Window->Combined().LockWordsState, 1);
    QVERIFY(f.Window->btnCheck->isChecked());
    QCOMPARE(HiddenNames(search), std::vector<std::string>{ShoesName(search)});
    QVERIFY(!search.ChartFilterText().empty());

    // Releasing the toggle shows the rows again.
    f.Window->btnCheck->trigger();
    QCOMPARE(f.Window->Combined().LockWordsState, 0);
    QVERIFY(!f.Window->btnCheck->isChecked());
    QVERIFY(HiddenNames(search).empty());

    // A new run resets the state; the button keeps its look; the next click applies again.
    f.Window->btnSelection->trigger();
    f.Window->menuSelectAll->setChecked(false);
    f.Window->btnStartChart->trigger();
    QCOMPARE(f.Window->Combined().LockWordsState, 0);
    QVERIFY(f.Window->btnCheck->isChecked());
    QVERIFY(HiddenNames(search).empty());
    f.Window->btnCheck->trigger();
    QCOMPARE(f.Window->Combined().LockWordsState, 1);
    QVERIFY(f.Window->btnCheck->isChecked());
    QCOMPARE(HiddenNames(search).size(), std::size_t(1));
  }

  void EngineToggleSwitchesState() {
    TWindowFixture f;
    f.Window->btnEngine->trigger();
    QCOMPARE(f.Window->Combined().EngineState, 1);
    QVERIFY(f.Window->btnEngine->isChecked());
    f.Window->btnEngine->trigger();
    QCOMPARE(f.Window->Combined().EngineState, 0);
  }

  void ErrorsAreShownAsTextAndLeaveTheWindowUsable() {
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    std::filesystem::remove(f.Program.ConfigFile("notschown.lst"));
    f.Show();
    f.Window->menuSelectAll->setChecked(false);
    f.Window->btnPagesStart->trigger();
    QCOMPARE(f.Program.Errors().size(), std::size_t(1));
    QVERIFY(f.Program.Errors()[0].find("notschown.lst") != std::string::npos);
    QVERIFY(!f.Window->Running());
    QVERIFY(f.Window->btnPagesStart->isEnabled() && f.Window->menuMain->menuAction()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
  }

  void ConfigurationCommandsReachTheirWindows() {
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    f.Show();
    f.Window->btnGeneralStart->trigger();
    f.Window->menuInputFiles->trigger();  // closed unchanged: no question
    QVERIFY(f.Program.Dialogs.TextsOf("confirm").empty());
    QCOMPARE(f.GeneralRows(), 7);

    // The user deletes the files: "Clear all tabs?", and the start buttons follow.
    f.Lists.SetShowModal([&] { f.Lists.Delete({}); });
    f.Program.Dialogs.ConfirmAnswers.push_back(true);  // delete the entries
    f.Program.Dialogs.ConfirmAnswers.push_back(true);  // clear all tabs
    f.Window->menuInputFiles->trigger();
    QCOMPARE(f.Program.Dialogs.TextsOf("confirm"), std::vector<std::string>{"Clear all tabs?"});
    QCOMPARE(f.GeneralRows(), 0);
    QVERIFY(!f.Window->btnGeneralStart->isEnabled());

    f.Window->menuLogFileTypes->trigger();
    f.Window->menuHelpGuide->trigger();
    f.Window->menuAbout->trigger();
    f.Window->btnShowAll->trigger();
    QVERIFY(f.Program.Store.KeyExists(std::string(MainKey) + "\\ProccesCheckList"));
    f.Window->menuOtherProducts->trigger();
    QCOMPARE(f.OpenedUrls, std::vector<std::string>{OtherProductsAddress});
    QCOMPARE(f.Windows.Calls,
             (std::vector<std::string>{"ShowLogFileConfig", "ShowHelp", "ShowAbout", "ShowProcessCheckList"}));
  }

  void GuideOnFirstStartOnce() {
    TWindowFixture f(true, false);
    f.Window->CheckMainPage();
    f.Window->CheckMainPage();
    QCOMPARE(f.Windows.Calls, std::vector<std::string>{"ShowHelp"});

    TWindowFixture known;  // the settings key exists: no guide
    known.Window->CheckMainPage();
    QVERIFY(known.Windows.Calls.empty());
  }

  void GuideShownWhenTheWindowBecomesActive() {
    TWindowFixture f(true, false);
    f.Show();
    f.Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.Window.get()));
    QTRY_COMPARE(f.Windows.Calls, std::vector<std::string>{"ShowHelp"});
  }

  void RawViewOpensThroughTheDialog() {
    TWindowFixture f;
    f.Program.Globals->CreateRegKey(MainKey);
    f.Program.Globals->WriteRegString("DirFiles", f.Program.Dir.Path().string());
    const std::string log = f.Program.UseLog(uitest::SmallLog());
    f.Show();
    f.Program.Dialogs.OpenAnswers.push_back(std::vector<std::string>{log});
    f.Window->btnOneFile->trigger();
    QCOMPARE(f.Program.Dialogs.DialogOptions.at(0).Folder, f.Program.Dir.Path().string());
    QCOMPARE(f.Window->FrameOneFile1->edFilename->text(), QString::fromStdString(log));
    QTRY_COMPARE(f.Window->FrameOneFile1->fileText->LineCount(), 6);

    f.Program.Dialogs.OpenAnswers.push_back(std::nullopt);  // cancelled: nothing changes
    f.Window->btnOneFile->trigger();
    QCOMPARE(f.Window->FrameOneFile1->edFilename->text(), QString::fromStdString(log));

    const std::string missing = f.Program.Dir.File("missing.log");
    f.Program.Dialogs.OpenAnswers.push_back(std::vector<std::string>{missing});
    f.Window->btnOneFile->trigger();
    QCOMPARE(f.Program.Errors().size(), std::size_t(1));
    QVERIFY(f.Program.Errors()[0].find("missing.log") != std::string::npos);
    QCOMPARE(f.Window->FrameOneFile1->edFilename->text(), QString::fromStdString(missing));
    QCOMPARE(f.Window->FrameOneFile1->fileText->LineCount(), 6);
    QVERIFY(f.Window->btnOneFile->isEnabled());
  }

private:
  static std::vector<std::string> HiddenNames(TTabMGridAnalysis& analysis) {
    std::vector<std::string> names;
    const int name = analysis.kbmSummen.FieldNo("Name");
    const int shown = analysis.kbmSummen.FieldNo("Anzeigen");
    for (int row = 0; row < analysis.kbmSummen.RecordCount(); ++row)
      if (!analysis.kbmSummen.AsBooleanAt(row, shown)) names.push_back(analysis.kbmSummen.AsStringAt(row, name));
    return names;
  }
  static std::string ShoesName(TTabMGridAnalysis& analysis) {
    const int name = analysis.kbmSummen.FieldNo("Name");
    for (int row = 0; row < analysis.kbmSummen.RecordCount(); ++row) {
      std::string text = analysis.kbmSummen.AsStringAt(row, name);
      if (text.find("shoes") != std::string::npos) return text;
    }
    return "(none)";
  }
};

TREVALO_UI_TEST(TMainWindowTest)
#include "MainWindowTest.moc"
