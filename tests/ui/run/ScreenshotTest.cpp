// Not a check: with TREVALO_SCREENSHOTS naming a folder, runs every tab of the real window
// over the bundled sample log and saves a picture of each tab there (scripts/screenshots).
#include <QDir>
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
  }
};

TREVALO_UI_TEST(TScreenshotTest)
#include "ScreenshotTest.moc"
