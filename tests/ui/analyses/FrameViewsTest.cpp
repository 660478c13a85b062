#include <QTest>

#include <cmath>

#include "analyses/ui/BarChart.h"
#include "analyses/ui/FrameAddPage.h"
#include "agents/AgentClassifier.h"
#include "analyses/ui/FrameGeneral.h"
#include "analyses/ui/FramePopulareTime.h"
#include "base/DateTime.h"
#include "config/ui/MemTableModel.h"
#include "support/ProgramFixture.h"
#include "support/UiTest.h"

namespace {

double At(int hour, int minute) {
  double day = 0;
  TryEncodeDate(2023, 1, 2, day);
  return day + EncodeTime(hour, minute, 0);
}

}  // namespace

class TFrameViewsTest : public QObject {
  Q_OBJECT

private slots:
  void GeneralFrameSplitsHalfAndQuarter() {
    uitest::TProgramFixture program;
    TAgentClassifier agents;
    TFrameGeneral frame(*program.Globals, program.Format, agents);
    frame.resize(800, 600);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.tabGeneral->width(), 400);
    QCOMPARE(frame.Splitter1->height(), 150);
    QCOMPARE(frame.tabStatusCodes->model()->headerData(0, Qt::Horizontal).toString(), QString("status code"));
  }

  void BarChartHasOneBarPerRowWithVisibleValues() {
    uitest::TProgramFixture program;
    TFramePopulareTime frame(*program.Globals);
    frame.Analysis().PrepareRun(0, 0);
    frame.Analysis().FinishRun();
    const auto bars = frame.DBChart->Bars();
    QCOMPARE(bars.size(), std::size_t(24));
    QCOMPARE(bars[0].Label, QString("24"));
    QCOMPARE(bars[23].Label, QString("23"));
    QVERIFY(TBarChart::ValueLabelColor() != QColor(Qt::white));
    frame.resize(600, 400);
    const QImage image = frame.grab().toImage();
    QVERIFY(!image.isNull());
  }

  void ClickListsThePathAndTheHostNameComesLater() {
    uitest::TProgramFixture program;
    program.SetMainPage("/");
    TFrameAddPage frame(*program.Globals, program.Dialogs, program.HostLookup, program.Format);
    auto& analysis = frame.Analysis();
    frame.CreateTree();
    analysis.PrepareRun();
    frame.SyncDataEnabled();
    QVERIFY(!frame.tabData->isEnabled() || !analysis.DataEnabled());
    analysis.AddRequest("10.1.2.3", At(10, 0), "GET /a.html HTTP/1.1");
    analysis.AddRequest("10.1.2.3", At(10, 2), "GET /b.html HTTP/1.1");
    analysis.FinishRun();
    frame.SyncDataEnabled();
    QVERIFY(frame.tabData->isEnabled());
    const QStringList captions{"IP", "Date", "to"};
    for (int c = 0; c < 3; ++c) QCOMPARE(frame.tabData->model()->headerData(c, Qt::Horizontal).toString(), captions[c]);

    frame.resize(800, 400);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.tabData->width(), 400);
    const QRect cell = frame.tabData->visualRect(frame.tabData->model()->index(1, 0));
    QTest::mouseClick(frame.tabData->viewport(), Qt::LeftButton, {}, cell.center());
    QAbstractItemModel* path = frame.tabProcess->model();
    QCOMPARE(path->rowCount(), 4);
    QCOMPARE(path->index(0, 0).data().toString(), QString("10.1.2.3"));
    QCOMPARE(path->index(3, 0).data().toString(), QString("/b.html"));

    QCOMPARE(program.HostLookup.Pending.size(), std::size_t(1));
    program.HostLookup.Complete(0, 0, "dial.pool.isp.net");
    QCOMPARE(path->index(0, 0).data().toString(), QString("isp.net"));
    QCOMPARE(path->index(1, 0).data().toString(), QString("/"));
  }

  void EmptyRequestGridClickSaysNotFound() {
    uitest::TProgramFixture program;
    TFrameAddPage frame(*program.Globals, program.Dialogs, program.HostLookup, program.Format);
    frame.CreateTree();
    frame.tabDataClick(0);
    QCOMPARE(program.Dialogs.TextsOf("message").size() + program.Dialogs.TextsOf("information").size(),
             std::size_t(1));
    QVERIFY(program.Errors().empty());
  }
};

TREVALO_UI_TEST(TFrameViewsTest)
#include "FrameViewsTest.moc"
