#include <QTest>
#include <QTextBlock>

#include <cmath>

#include "analyses/ui/BarChart.h"
#include "analyses/ui/FrameAddPage.h"
#include "analyses/ui/FrameGeneral.h"
#include "analyses/ui/FrameOneFile.h"
#include "analyses/ui/FramePopulareTime.h"
#include "base/DateTime.h"
#include "config/ui/MemTableModel.h"
#include "log/QelNewFile.h"
#include "support/GzipBytes.h"
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
    TFrameGeneral frame(*program.Globals, program.Format);
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

  // Chunks of 1 MiB: line ends split across chunk borders must neither add nor lose lines.
  // Compressed content shows as the text it holds.
  void RawViewReadsLargeFilesInChunks_data() {
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<bool>("compressed");
    QTest::newRow("LF") << QByteArray("\n") << false;
    QTest::newRow("CR LF") << QByteArray("\r\n") << false;
    QTest::newRow("CR") << QByteArray("\r") << false;
    QTest::newRow("CR LF, gzip") << QByteArray("\r\n") << true;
  }
  void RawViewReadsLargeFilesInChunks() {
    QFETCH(QByteArray, lineEnd);
    QFETCH(bool, compressed);
    uitest::TProgramFixture program;
    TFrameOneFile frame(*program.Globals, program.Dialogs);
    int yields = 0;
    frame.SetYield([&] { ++yields; });
    // Lines of 1023 characters plus the line end: with CR LF one pair straddles a border.
    std::string text;
    const int lines = 3000;
    for (int i = 0; i < lines; ++i) {
      std::string line = std::to_string(i) + " ";
      line.resize(1023 - (lineEnd.size() - 1), i % 2 ? 'x' : 'y');
      text += line + lineEnd.toStdString();
    }
    const std::string path = program.Dir.File("big.log");
    testsupport::WriteBytes(path, compressed ? testsupport::GzipBytes(text) : text);
    frame.LoadFile(path);
    QVERIFY(yields >= 2);
    QCOMPARE(frame.fileText->document()->blockCount(), lines);
    QVERIFY(frame.fileText->document()->findBlockByNumber(lines - 1).text().startsWith("2999 "));
    QVERIFY(frame.fileText->document()->findBlockByNumber(1024).text().startsWith("1024 "));
    QCOMPARE(frame.edFilename->text(), QString::fromStdString(path));
    QVERIFY(frame.fileText->isReadOnly());
  }

  // A file of one huge line (binary data, a log without line ends) is shown in pieces the text
  // area can lay out, with every character kept.
  void RawViewShowsAHugeLineInPieces() {
    uitest::TProgramFixture program;
    TFrameOneFile frame(*program.Globals, program.Dialogs);
    const int length = 20 << 20;
    const std::string path = program.Dir.File("one line.log");
    testsupport::WriteBytes(path, "a\r\n" + std::string(length, 'x') + "\nb");
    frame.resize(400, 300);
    frame.show();
    frame.LoadFile(path);
    QTextDocument* document = frame.fileText->document();
    const int pieces = (length + 9999) / 10000;
    QCOMPARE(document->blockCount(), pieces + 2);
    QCOMPARE(document->firstBlock().text(), QString("a"));
    QCOMPARE(document->findBlockByNumber(1).text(), QString(10000, 'x'));
    QCOMPARE(document->findBlockByNumber(pieces).text().size(), length - (pieces - 1) * 10000);
    QCOMPARE(document->lastBlock().text(), QString("b"));
    QCOMPARE(document->characterCount(), length + pieces + 1 + 1 + 2);
  }

  void RawViewReplacesAndClears() {
    uitest::TProgramFixture program;
    TFrameOneFile frame(*program.Globals, program.Dialogs);
    const std::string first = program.Dir.File("first.txt"), empty = program.Dir.File("empty.txt");
    testsupport::WriteBytes(first, "one\ntwo\n");
    testsupport::WriteBytes(empty, "");
    frame.LoadFile(first);
    QCOMPARE(frame.fileText->toPlainText(), QString("one\ntwo"));
    frame.LoadFile(empty);
    QCOMPARE(frame.fileText->toPlainText(), QString());
    QCOMPARE(frame.edFilename->text(), QString::fromStdString(empty));
    frame.ClearFile();
    QVERIFY(frame.edFilename->text().isEmpty() && frame.fileText->toPlainText().isEmpty());

    // Damaged compressed content ends the load with the error naming the file.
    const std::string cut = program.Dir.File("cut.log.gz");
    const std::string bytes = testsupport::GzipBytes("one\ntwo\n");
    testsupport::WriteBytes(cut, bytes.substr(0, bytes.size() - 3));
    try {
      frame.LoadFile(cut);
      QFAIL("no error for a cut-off gzip file");
    } catch (const EGzipDataError& e) {
      QVERIFY(std::string(e.what()).find(cut) != std::string::npos);
    }
    QVERIFY(!frame.Loading());

    frame.resize(500, 300);
    frame.FrameResize();
    QCOMPARE(frame.fileText->y(), frame.edFilename->height() + 10);
    QCOMPARE(frame.fileText->width(), frame.edFilename->width());
  }
};

TREVALO_UI_TEST(TFrameViewsTest)
#include "FrameViewsTest.moc"
