#include <QPainter>
#include <QTest>

#include "analyses/ui/FrameTabMGrid.h"
#include "config/ui/MemTableModel.h"
#include "support/ProgramFixture.h"
#include "support/UiTest.h"

namespace {

constexpr int ColID = 0, ColShow = 3;

// A shown frame whose pie holds the sums 9, 5 and 2 (IDs 0, 1, 2).
struct TShownFrame {
  uitest::TProgramFixture Program;
  TframeTabMGrid Frame{Program.Dialogs, Program.Format};

  TShownFrame() {
    Frame.resize(600, 400);
    Frame.CreateLists();
    auto& analysis = Frame.Analysis();
    analysis.PrepareRun();
    for (const auto& [text, count] : {std::pair{"nine", 9}, {"five", 5}, {"two", 2}})
      for (int i = 0; i < count; ++i) analysis.AddValue(text);
    analysis.FinishRun();
    Frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Frame));
    Paint();
  }
  void Paint() {
    Frame.DBChart->repaint();
    Frame.tabSummen->viewport()->repaint();
  }
  QAbstractItemModel* Grid() const { return Frame.tabSummen->model(); }
  // The colour the ID cell of a grid row is drawn in.
  QColor Swatch(int row) const {
    QStyleOptionViewItem option;
    option.initFrom(Frame.tabSummen);
    const QModelIndex index = Grid()->index(row, ColID);
    QStyleOptionViewItem copy = option;
    auto* delegate = Frame.tabSummen->itemDelegateForIndex(index);
    QPixmap pixmap(40, 20);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    copy.rect = QRect(0, 0, 40, 20);
    delegate->paint(&painter, copy, index);
    painter.end();
    return pixmap.toImage().pixelColor(20, 10);
  }
};

}  // namespace

class TFrameTabMGridTest : public QObject {
  Q_OBJECT

private slots:
  void GridListsEveryRowWithItsCaptions() {
    TShownFrame f;
    QCOMPARE(f.Grid()->rowCount(), 3);
    const QStringList captions{"ID", "Name", "Sum", "show"};
    for (int c = 0; c < captions.size(); ++c) QCOMPARE(f.Grid()->headerData(c, Qt::Horizontal).toString(), captions[c]);
    QCOMPARE(f.Grid()->index(0, 1).data().toString(), QString("nine"));
    QCOMPARE(f.Frame.DBChart->Slices().size(), std::size_t(3));
    QCOMPARE(f.Frame.DBChart->BiggestSlice(), 0);
  }

  void SwatchesHaveTheSliceColoursAndHiddenRowsAreOrange() {
    TShownFrame f;
    const auto slices = f.Frame.DBChart->Slices();
    for (int row = 0; row < 3; ++row) QCOMPARE(f.Swatch(row), slices[static_cast<std::size_t>(row)].Color);

    // Unticking "show" of the row with ID 1 leaves it out of the pie.
    QVERIFY(f.Grid()->setData(f.Grid()->index(1, ColShow), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(f.Frame.Analysis().ChartFilterText(), std::string("ID <> 1"));
    QCOMPARE(f.Frame.DBChart->Slices().size(), std::size_t(2));
    QCOMPARE(f.Grid()->rowCount(), 3);
    QCOMPARE(f.Grid()->index(1, ColShow).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    f.Paint();
    QCOMPARE(f.Swatch(1), QColor(255, 153, 0));
    QCOMPARE(f.Swatch(2), f.Frame.DBChart->Slices()[1].Color);

    QVERIFY(f.Grid()->setData(f.Grid()->index(1, ColShow), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(f.Frame.Analysis().ChartFilterText().empty());
    QCOMPARE(f.Frame.DBChart->Slices().size(), std::size_t(3));
  }

  void TrackBarsTurnAndPullOutWithoutChangingSwatches() {
    TShownFrame f;
    QCOMPARE(f.Frame.TrackBar1->maximum(), 359);
    QCOMPARE(f.Frame.TrackBar2->maximum(), 20);
    const QImage before = f.Frame.DBChart->grab().toImage();
    const auto colors = f.Frame.Analysis().SliceColors();
    f.Frame.TrackBar1->setValue(90);
    f.Frame.TrackBar2->setValue(20);
    QCOMPARE(f.Frame.DBChart->Rotation(), 90);
    QCOMPARE(f.Frame.DBChart->ExplodePercent(), 20);
    QVERIFY(f.Frame.DBChart->grab().toImage() != before);
    QCOMPARE(f.Frame.Analysis().SliceColors(), colors);
    QVERIFY(!f.Frame.Analysis().TrackBarBusy());
  }

  void ChartTakesTwoThirdsOfTheWidth() {
    TShownFrame f;
    f.Frame.resize(900, 400);
    QTRY_COMPARE(f.Frame.DBChart->width(), 594);
  }
};

TREVALO_UI_TEST(TFrameTabMGridTest)
#include "FrameTabMGridTest.moc"
