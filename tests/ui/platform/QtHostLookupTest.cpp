#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/QtHostLookup.h"
#include "support/UiTest.h"

namespace {

QHostInfo Answer(QHostInfo::HostInfoError error, const QString& name) {
  QHostInfo info;
  info.setError(error);
  info.setHostName(name);
  return info;
}

struct TOutcome {
  std::optional<int> Error;
  std::string Name;
  bool OnGuiThread = false;
  bool Failed = false;
};

}  // namespace

class TQtHostLookupTest : public QObject {
  Q_OBJECT

private slots:
  void AnswersMapToCodes_data() {
    QTest::addColumn<QHostInfo>("info");
    QTest::addColumn<int>("expectedError");
    QTest::addColumn<QString>("expectedName");
    QTest::newRow("a name") << Answer(QHostInfo::NoError, "dial.pool.isp.net") << 0 << "dial.pool.isp.net";
    // The resolver's way of saying "no name": the address itself, without an error.
    QTest::newRow("the address again") << Answer(QHostInfo::NoError, "10.1.2.3") << int(TQtHostLookup::NoNameError)
                                       << "";
    QTest::newRow("empty name") << Answer(QHostInfo::NoError, "") << int(TQtHostLookup::NoNameError) << "";
    QTest::newRow("not found") << Answer(QHostInfo::HostNotFound, "") << int(TQtHostLookup::NoNameError) << "";
    QTest::newRow("resolver failed") << Answer(QHostInfo::UnknownError, "") << int(TQtHostLookup::LookupFailedError)
                                     << "";
  }
  void AnswersMapToCodes() {
    QFETCH(QHostInfo, info);
    QFETCH(int, expectedError);
    QFETCH(QString, expectedName);
    std::string name = "stale";
    QCOMPARE(TQtHostLookup::ResultOf(info, "10.1.2.3", name), expectedError);
    QCOMPARE(QString::fromStdString(name), expectedName);
  }

  void NonAddressesFailToStart_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("octet too large") << "1.2.3.256";
    QTest::newRow("a name") << "host.example";
    QTest::newRow("empty") << "";
    QTest::newRow("IPv6") << "::1";
  }
  void NonAddressesFailToStart() {
    QFETCH(QString, address);
    TQtHostLookup lookup;
    TOutcome outcome;
    lookup.StartReverseLookup(
        address.toStdString(), [&outcome](int error, const std::string&) { outcome.Error = error; },
        [&outcome] { outcome.Failed = true; });
    QVERIFY(outcome.Failed);
    QCOMPARE(lookup.PendingCount(), 0);
    QCoreApplication::processEvents();
    QVERIFY(!outcome.Error.has_value());
  }

  // The loopback address is answered from the hosts file; no network is involved.
  void LoopbackIsAnsweredLaterOnTheGuiThread() {
    TQtHostLookup lookup;
    TOutcome outcome;
    lookup.StartReverseLookup(
        "127.0.0.1",
        [&outcome](int error, const std::string& name) {
          outcome.Error = error;
          outcome.Name = name;
          outcome.OnGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        },
        [&outcome] { outcome.Failed = true; });
    QVERIFY(!outcome.Error.has_value());
    QCOMPARE(lookup.PendingCount(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.Error.has_value(), 10000);
    QVERIFY(outcome.OnGuiThread);
    QVERIFY(!outcome.Failed);
    QCOMPARE(lookup.PendingCount(), 0);
    if (*outcome.Error == 0) {
      QVERIFY(!outcome.Name.empty());
      QVERIFY(outcome.Name != "127.0.0.1");
    } else {
      QVERIFY(outcome.Name.empty());
    }
  }

  void NoAnswerReachesAReceiverWhoseServiceIsGone() {
    auto lookup = std::make_unique<TQtHostLookup>();
    bool answered = false;
    lookup->StartReverseLookup("127.0.0.1", [&answered](int, const std::string&) { answered = true; }, [] {});
    lookup.reset();
    QTest::qWait(300);
    QVERIFY(!answered);
  }
};

TREVALO_UI_TEST(TQtHostLookupTest)
#include "QtHostLookupTest.moc"
