// A run started from the window over a fixture log, read back from the grids and charts as
// the user sees them.
#include <QTest>

#include "analyses/ui/BarChart.h"
#include "analyses/ui/PieChart.h"
#include "config/ui/MemTableDelegate.h"
#include "run/WindowFixture.h"
#include "support/UiTest.h"

using uitest::TWindowFixture;

namespace {

// The text a grid cell shows.
QString Cell(QAbstractItemView* grid, int row, int column) {
  const QModelIndex index = grid->model()->index(row, column);
  auto* delegate = qobject_cast<TMemTableDelegate*>(grid->itemDelegateForIndex(index));
  return delegate ? delegate->DisplayText(index) : index.data().toString();
}

}  // namespace

class TEndToEndTest : public QObject {
  Q_OBJECT

private slots:
  void CombinedRunFillsTheGridsAndCharts() {
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog());
    f.Program.SetMainPage("/index.html");
    f.Show();
    f.Window->btnGeneralStart->trigger();
    QVERIFY(f.Program.Errors().empty());

    QAbstractItemView* general = f.Window->FrameGeneral1->tabGeneral;
    QCOMPARE(Cell(general, 0, 0), QString("Time Area"));
    QCOMPARE(Cell(general, 0, 1), QString("1 Day(s)"));  // 23.5 hours: no whole day
    QCOMPARE(Cell(general, 1, 1), QString("2023-01-02 10:00:00"));
    QCOMPARE(Cell(general, 3, 1), QString("6"));
    QCOMPARE(Cell(general, 4, 1), QString("3"));
    QCOMPARE(Cell(general, 5, 1), QString("4.8 kilobytes"));
    QCOMPARE(Cell(general, 6, 1), QString("5 hits"));

    QAbstractItemView* codes = f.Window->FrameGeneral1->tabStatusCodes;
    QCOMPARE(codes->model()->rowCount(), 2);
    QCOMPARE(Cell(codes, 0, 1), QString("5"));
    QCOMPARE(Cell(codes, 1, 1), QString("1"));
    const auto browsers = f.Window->FrameGeneral1->DBChartBrowser->Slices();
    QCOMPARE(browsers.size(), std::size_t(2));
    QCOMPARE(browsers[0].Label, QString("Firefox"));
    QCOMPARE(browsers[0].Value, 4.0);
    QCOMPARE(browsers[1].Label, QString("IE"));
    const auto systems = f.Window->FrameGeneral1->DBChartSystem->Slices();
    QCOMPARE(systems.size(), std::size_t(2));
    QCOMPARE(systems[0].Label, QString("Linux"));
    QCOMPARE(systems[1].Label, QString("Windows"));
    QCOMPARE(systems[1].Value, 2.0);
    QVERIFY(f.Window->FrameGeneral1->DBChartCrawler->Slices().empty());
    // Browsers with their versions, and back.
    f.Window->btnToggelBrowser->trigger();
    QCOMPARE(f.Window->FrameGeneral1->DBChartBrowser->Slices()[0].Label, QString("Firefox 108"));
    f.Window->btnToggelBrowser->trigger();
    QCOMPARE(f.Window->FrameGeneral1->DBChartBrowser->Slices()[1].Label, QString("IE"));

    const auto bars = f.Window->FramePopulareTime1->DBChart->Bars();
    QCOMPARE(bars.size(), std::size_t(24));
    QCOMPARE(bars[10].Value, 3.0);
    QCOMPARE(bars[11].Value, 2.0);
    QCOMPARE(bars[9].Value, 1.0);

    QAbstractItemView* phrases = f.Window->frameSearch->tabSummen;
    QCOMPARE(phrases->model()->rowCount(), 2);
    QVERIFY(Cell(phrases, 0, 1).contains("shoes"));
    QCOMPARE(Cell(phrases, 0, 2), QString("2"));
    QVERIFY(Cell(phrases, 1, 1).contains("hats"));

    // The image counts too: its group of the not-shown list is switched on until unticked.
    QAbstractItemView* pages = f.Window->framePages->tabSummen;
    QCOMPARE(pages->model()->rowCount(), 4);
    QCOMPARE(Cell(pages, 0, 1), QString("/index.html"));
    QCOMPARE(Cell(pages, 0, 2), QString("3"));
    QCOMPARE(f.Window->framePages->DBChart->Slices().size(), std::size_t(4));

    f.Window->btnProcess->trigger();
    QAbstractItemView* requests = f.Window->FrameAddPage1->tabData;
    QCOMPARE(requests->model()->rowCount(), 6);
    QCOMPARE(Cell(requests, 1, 0), QString("10.0.0.1"));
    QCOMPARE(Cell(requests, 1, 2), QString("/shop.html"));
  }
};

TREVALO_UI_TEST(TEndToEndTest)
#include "EndToEndTest.moc"
