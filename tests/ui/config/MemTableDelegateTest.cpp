#include <QLocale>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>

#include "config/MemTableFixture.h"
#include "config/ui/MemTableDelegate.h"
#include "config/ui/MemTableModel.h"
#include "platform/ui/QtLocalFormat.h"
#include "support/UiTest.h"

using namespace uitest;

namespace {

class TOpenDelegate : public TMemTableDelegate {
public:
  using TMemTableDelegate::initStyleOption;
  using TMemTableDelegate::TMemTableDelegate;
};

}  // namespace

class TMemTableDelegateTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TMemTable> FTable;
  std::unique_ptr<TMemTableModel> FModel;
  TQtLocalFormat FFormat;

private slots:
  void init() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FTable = MakeTable();
    AddRow(*FTable, {"<b>index.html</b>", 1234567, true, DateTimeOf(2000, 10, 10), 307.0 / 86400.0});
    AddRow(*FTable, {"news.html", -3, false, DateTimeOf(2000, 10, 10, 20, 55, 36), 0});
    AddRow(*FTable, {"", 0, false, std::nullopt, 0});
    FModel = std::make_unique<TMemTableModel>(
        *FTable, std::vector<TMemTableModel::TColumn>{
                     {"Name", "Name"}, {"Hits", "Hits"}, {"Shown", "Shown"}, {"Stamp", "Stamp"}, {"Viewed", "Viewed"}});
  }
  void cleanup() {
    FModel.reset();
    FTable.reset();
    QLocale::setDefault(QLocale::c());
  }

  void CellsShowFormattedTexts_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("markup stays text") << 0 << 0 << "<b>index.html</b>";
    QTest::newRow("integer without groups") << 0 << 1 << "1234567";
    QTest::newRow("negative integer") << 1 << 1 << "-3";
    QTest::newRow("true") << 0 << 2 << "1";
    QTest::newRow("false") << 1 << 2 << "0";
    QTest::newRow("date at midnight") << 0 << 3 << "10.10.00";
    QTest::newRow("date and time") << 1 << 3 << "10.10.00 20:55:36";
    QTest::newRow("no date") << 2 << 3 << "";
    QTest::newRow("time viewed") << 0 << 4 << "00:05:07";
    QTest::newRow("no time viewed") << 1 << 4 << "00:00:00";
  }
  void CellsShowFormattedTexts() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);
    TMemTableDelegate delegate(FFormat);
    delegate.SetBooleanTexts(2, "1", "0");
    QCOMPARE(delegate.DisplayText(FModel->index(row, column)), expected);
  }

  void BooleansWithoutTextsSayTrueOrFalse() {
    TMemTableDelegate delegate(FFormat);
    QCOMPARE(delegate.DisplayText(FModel->index(0, 2)), QString("True"));
    QCOMPARE(delegate.DisplayText(FModel->index(1, 2)), QString("False"));
  }

  void GridsDrawTheDelegatesTexts() {
    TOpenDelegate delegate(FFormat);
    QStyleOptionViewItem option;
    delegate.initStyleOption(&option, FModel->index(1, 3));
    QCOMPARE(option.text, QString("10.10.00 20:55:36"));
    option = QStyleOptionViewItem();
    delegate.initStyleOption(&option, FModel->index(0, 1));
    QCOMPARE(option.text, QString("1234567"));
    QVERIFY(option.displayAlignment.testFlag(Qt::AlignRight));

    // Control characters of a log text are drawn as symbols; the cell's text keeps them.
    AddRow(*FTable, {"/\x1B]0;t\x07\xE2\x80\xAEx\xC2\x9B", 0, false, std::nullopt, 0});
    option = QStyleOptionViewItem();
    delegate.initStyleOption(&option, FModel->index(3, 0));
    QCOMPARE(option.text, QString::fromUtf8("/\u241B]0;t\u2407\\u202Ex\\u009B"));
    QCOMPARE(delegate.DisplayText(FModel->index(3, 0)), QString::fromUtf8("/\x1B]0;t\x07\xE2\x80\xAEx\xC2\x9B"));

    QTableView view;
    view.setModel(FModel.get());
    view.setItemDelegate(&delegate);
    view.resize(600, 200);
    QVERIFY(!view.grab().isNull());  // paints without trouble
  }
};

TREVALO_UI_TEST(TMemTableDelegateTest)
#include "MemTableDelegateTest.moc"
