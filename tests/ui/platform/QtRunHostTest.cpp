#include <QCoreApplication>
#include <QProgressBar>
#include <QTest>
#include <QThread>

#include <memory>

#include "platform/ui/QtRunHost.h"
#include "support/UiTest.h"

class TQtRunHostTest : public QObject {
  Q_OBJECT

private slots:
  void TicksAreMonotonicMillisecondsFarFromZero() {
    TQtRunHost host;
    const std::uint64_t first = host.TickCount();
    // A run lets the window breathe when 500 ms have passed since tick 0: the first line must.
    QVERIFY(first > 500);
    QThread::msleep(30);
    const std::uint64_t second = host.TickCount();
    QVERIFY(second >= first + 30);
    QVERIFY(second < first + 60000);
  }

  void ProgressFollowsRangeAndPosition() {
    QProgressBar bar;
    TQtRunHost host(&bar);
    host.SetProgressRange(0, 1000);
    host.SetProgressPosition(250);
    QCOMPARE(bar.minimum(), 0);
    QCOMPARE(bar.maximum(), 1000);
    QCOMPARE(bar.value(), 250);
    host.SetProgressPosition(5000);  // beyond the end stays at the end
    QCOMPARE(bar.value(), 1000);
  }

  void RangesBeyondIntAreScaled() {
    QProgressBar bar;
    TQtRunHost host(&bar);
    const std::int64_t lines = 6'000'000'000;
    host.SetProgressRange(0, lines);
    host.SetProgressPosition(lines / 2);
    QVERIFY(bar.maximum() > 1'000'000'000);
    QCOMPARE(bar.minimum(), 0);
    QVERIFY(qAbs(bar.value() - bar.maximum() / 2) <= 1);
    host.SetProgressPosition(lines);
    QCOMPARE(bar.value(), bar.maximum());
  }

  void AGoneBarIsLeftAlone() {
    auto bar = std::make_unique<QProgressBar>();
    TQtRunHost host(bar.get());
    bar.reset();
    host.SetProgressRange(0, 10);
    host.SetProgressPosition(5);
    QCOMPARE(host.ProgressBar(), nullptr);
  }

  void PendingEventsAreProcessed() {
    TQtRunHost host;
    bool delivered = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&delivered] { delivered = true; }, Qt::QueuedConnection);
    host.ProcessPendingEvents();
    QVERIFY(delivered);
  }
};

TREVALO_UI_TEST(TQtRunHostTest)
#include "QtRunHostTest.moc"
