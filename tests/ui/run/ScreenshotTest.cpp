// Not a check: with TREVALO_SCREENSHOTS naming a folder, runs every tab of the real window
// over the bundled sample log and saves a picture of each tab there (scripts/screenshots).
#include <QContextMenuEvent>
#include <QDir>
#include <QPainter>
#include <QTest>

#include "run/WindowFixture.h"
#include "support/UiTest.h"

class TScreenshotTest : public QObject {
  Q_OBJECT

private slots:
  void SaveEveryTab() {
    const QString folder = qEnvironmentVariable("TREVALO_SCREENSHOTS");
    if (folder.isEmpty()) QSKIP("set TREVALO_SCREENSHOTS to a folder to save pictures of the tabs");
    QDir().mkpath(folder);
    const QString sample = qEnvironmentVariable("TREVALO_SAMPLE", TREVALO_TEST_DATA "/../../data/sample/access.log");

    uitest::TWindowFixture f;
    f.Program.WriteList("FileList.lst", {sample.toStdString()});
    f.Program.WriteList("BaneWords.lst", {"tutorial"});
    f.Program.SetMainPage("/");
    TfrmMain& w = *f.Window;
    f.Show();

    w.btnGeneralStart->trigger();  // "Select All": the first four tabs in one run
    w.btnProcess->trigger();
    w.frameSearch->TrackBar1->setValue(60);
    w.framePages->TrackBar2->setValue(12);
    w.FrameAddPage1->tabDataClick(40);
    w.FrameOneFile1->LoadFile(sample.toStdString());
    for (const auto& error : f.Program.Errors()) qWarning("error shown: %s", error.c_str());

    const QStringList names{"1-short-statistics", "2-hits-per", "3-search-criterion", "4-pages", "5-process",
                            "6-view-raw-file"};
    for (int tab = 0; tab < w.pcMain->count(); ++tab) {
      w.pcMain->setCurrentIndex(tab);
      QTest::qWait(100);
      QVERIFY(w.grab().save(folder + "/" + names[tab] + ".png"));
    }

    // The weekday chart and a lock-word selection, after the first pictures.
    w.cmbPopulareChoose->setCurrentIndex(1);
    w.menuSelectAll->setChecked(false);
    w.btnPopulareChart->trigger();
    w.btnSelection->trigger();
    for (const auto& [tab, name] : {std::pair{1, "7-hits-per-weekday"}, {2, "8-search-lock-words"}}) {
      w.pcMain->setCurrentIndex(tab);
      QTest::qWait(100);
      QVERIFY(w.grab().save(folder + "/" + name + ".png"));
    }
    SaveContextMenus(w, folder);
    SaveAgentPages(w, folder);
  }

private:
  static void SaveTab(TfrmMain& w, int tab, const QString& file) {
    w.pcMain->setCurrentIndex(tab);
    QTest::qWait(100);
    QVERIFY(w.grab().save(file));
  }

  // The short statistics' systems and crawlers, the browsers with their versions, and a run
  // that leaves the crawlers out.
  static void SaveAgentPages(TfrmMain& w, const QString& folder) {
    QTabWidget* pages = w.FrameGeneral1->pcAgents;
    for (const auto& [page, name] : {std::pair{1, "1b-systems"}, {2, "1c-crawlers"}}) {
      pages->setCurrentIndex(page);
      SaveTab(w, 0, folder + "/" + name + ".png");
    }
    pages->setCurrentIndex(0);
    w.btnToggelBrowser->trigger();
    SaveTab(w, 0, folder + "/1d-browser-versions.png");
    w.btnToggelBrowser->trigger();
    w.menuLeaveOutCrawlers->trigger();
    w.menuSelectAll->setChecked(false);
    w.btnGeneralStart->trigger();
    w.FrameGeneral1->tabGeneral->scrollToBottom();  // to the row of the hits left out
    SaveTab(w, 0, folder + "/1e-people-only.png");
    w.menuLeaveOutCrawlers->trigger();
  }

  // The window with a context menu open over a grid or chart, drawn where the menu pops up.
  static void SaveMenu(TfrmMain& w, int tab, QWidget& target, QMenu* menu, const QString& file) {
    w.pcMain->setCurrentIndex(tab);
    QTest::qWait(100);
    const QPoint at = target.rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target.mapToGlobal(at));
    auto* grid = qobject_cast<QAbstractScrollArea*>(&target);
    QApplication::sendEvent(grid ? grid->viewport() : &target, &event);
    QTest::qWait(200);
    QImage picture = w.grab().toImage();
    QPainter painter(&picture);
    painter.drawPixmap(w.mapFromGlobal(menu->pos()), menu->grab());
    painter.end();
    menu->hide();
    QVERIFY(picture.save(file));
  }

  static void SaveContextMenus(TfrmMain& w, const QString& folder) {
    w.FrameGeneral1->tabStatusCodes->selectRow(1);
    SaveMenu(w, 0, *w.FrameGeneral1->tabStatusCodes, w.FrameGeneral1->tabStatusCodes->ExportMenu(),
             folder + "/menu-1-grid.png");
    SaveMenu(w, 0, *w.FrameGeneral1->DBChartBrowser, w.FrameGeneral1->DBChartBrowser->ExportMenu(),
             folder + "/menu-2-pie.png");
    SaveMenu(w, 1, *w.FramePopulareTime1->DBChart, w.FramePopulareTime1->DBChart->ExportMenu(),
             folder + "/menu-3-bar-chart.png");
    SaveMenu(w, 4, *w.FrameAddPage1->tabProcess, w.FrameAddPage1->tabProcess->ExportMenu(),
             folder + "/menu-4-visitor-path.png");
  }
};

TREVALO_UI_TEST(TScreenshotTest)
#include "ScreenshotTest.moc"
