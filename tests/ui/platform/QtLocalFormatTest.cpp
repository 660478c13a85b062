#include <QLocale>
#include <QTest>

#include "base/DateTime.h"
#include "platform/ui/QtLocalFormat.h"
#include "support/UiTest.h"

namespace {

double DateTimeOf(int year, int month, int day, int hour, int minute, int second) {
  double date = 0;
  if (!TryEncodeDate(year, month, day, date)) qFatal("bad date in test");
  return date + EncodeTime(hour, minute, second);
}

}  // namespace

class TQtLocalFormatTest : public QObject {
  Q_OBJECT
  TQtLocalFormat FFormat;

private slots:
  void cleanup() { QLocale::setDefault(QLocale::c()); }

  void FloatsUseTheLocalDecimalSeparatorWithoutGroups_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("de fraction") << german << 1.5 << "1,5";
    QTest::newRow("de no groups") << german << 1234567.25 << "1234567,25";
    QTest::newRow("de integer") << german << 42.0 << "42";
    QTest::newRow("de negative") << german << -0.125 << "-0,125";
    QTest::newRow("de shortest") << german << 0.1 << "0,1";
    QTest::newRow("de 15 digits") << german << 1.0 / 3.0 << "0,333333333333333";
    QTest::newRow("en no groups") << english << 98765432.5 << "98765432.5";
  }
  void FloatsUseTheLocalDecimalSeparatorWithoutGroups() {
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QLocale::setDefault(locale);
    QCOMPARE(QString::fromStdString(FFormat.FormatFloat(value)), expected);
  }

  void DateTimesShowShortDateAndLongTimeWithoutZone_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("de evening") << german << DateTimeOf(2000, 10, 10, 20, 55, 36) << "10.10.00 20:55:36";
    QTest::newRow("de midnight") << german << DateTimeOf(2000, 10, 10, 0, 0, 0) << "10.10.00";
    QTest::newRow("de one second past") << german << DateTimeOf(2000, 10, 10, 0, 0, 1) << "10.10.00 00:00:01";
    QTest::newRow("de rounds into the next day")
        << german << DateTimeOf(2000, 10, 10, 23, 59, 59) + 0.7 / 86400.0 << "11.10.00";
    QTest::newRow("en evening") << english << DateTimeOf(2000, 10, 10, 20, 55, 36) << "10/10/00 8:55:36 PM";
  }
  void DateTimesShowShortDateAndLongTimeWithoutZone() {
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QLocale::setDefault(locale);
    QCOMPARE(QString::fromStdString(FFormat.FormatDateTime(value)), expected);
  }

  void TimeFormatsLoseOnlyTheirZone_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zone last") << "HH:mm:ss t" << "HH:mm:ss";
    QTest::newRow("zone first") << "tttt HH:mm:ss" << "HH:mm:ss";
    QTest::newRow("quoted t stays") << "HH 'et' mm t" << "HH 'et' mm";
    QTest::newRow("no zone") << "h:mm:ss AP" << "h:mm:ss AP";
  }
  void TimeFormatsLoseOnlyTheirZone() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(TQtLocalFormat::TimeFormatWithoutZone(format), expected);
  }
};

TREVALO_UI_TEST(TQtLocalFormatTest)
#include "QtLocalFormatTest.moc"
