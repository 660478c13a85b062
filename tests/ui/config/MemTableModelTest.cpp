#include <QAbstractItemModelTester>
#include <QBarSet>
#include <QBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QSignalSpy>
#include <QTest>
#include <QVBarModelMapper>
#include <QVPieModelMapper>

#include "config/ui/MemTableModel.h"
#include "config/MemTableFixture.h"
#include "support/UiTest.h"

using namespace uitest;

namespace {

std::vector<TMemTableModel::TColumn> AllColumns() {
  return {{"Name", "Name"}, {"Hits", "Hits"}, {"Shown", "Shown"}, {"Stamp", "Stamp"}, {"Viewed", "Viewed"}};
}

// Refills the table the way the analyses do: with display updates suspended.
void Refill(TMemTable& table, const std::vector<TRow>& rows) {
  table.DisableControls();
  table.Empty();
  for (const TRow& row : rows) AddRow(table, row);
  table.EnableControls();
}

}  // namespace

class TMemTableModelTest : public QObject {
  Q_OBJECT

private slots:
  void FollowsAppendsEditsAndResets() {
    auto table = MakeTable();
    TMemTableModel model(*table, AllColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    AddRow(*table, {"index.html", 7});
    AddRow(*table, {"news.html", 3});
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(resets.count() >= 1);
    QCOMPARE(model.index(1, 0).data(), QVariant(QString("news.html")));

    table->SetRecNo(0);
    table->Edit();
    table->SetInteger(1, 8);
    table->Post();
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().at(0).toModelIndex(), model.index(0, 0));
    QCOMPARE(changes.first().at(1).toModelIndex(), model.index(0, 4));
    QCOMPARE(model.index(0, 1).data(), QVariant(8));

    resets.clear();
    table->Empty();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 0);

    AddRow(*table, {"again.html", 1});
    table->Close();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.CurrentRow(), -1);
  }

  void StaysSilentWhileSuspendedAndResetsAfter() {
    auto table = MakeTable();
    AddRow(*table, {"a", 1});
    AddRow(*table, {"b", 2});
    AddRow(*table, {"c", 3});
    TMemTableModel model(*table, AllColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy cursor(&model, &TMemTableModel::CurrentRowChanged);

    table->DisableControls();
    table->DisableControls();  // counted
    table->Empty();
    AddRow(*table, {"only", 9});
    table->SetRecNo(0);
    table->Edit();
    table->SetInteger(1, 10);
    table->Post();
    QCOMPARE(resets.count() + changes.count() + cursor.count(), 0);
    QCOMPARE(model.rowCount(), 3);  // the views still see the old rows ...
    QCOMPARE(model.index(2, 0).data(), QVariant());  // ... and rows now gone read as empty

    table->EnableControls();
    QCOMPARE(resets.count(), 0);
    table->EnableControls();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0, 1).data(), QVariant(10));
  }

  void DisplayRoleGivesRawValues() {
    auto table = MakeTable();
    const double stamp = DateTimeOf(2000, 10, 10, 20, 55, 36);
    AddRow(*table, {"page", 42, true, stamp, 0.25});
    AddRow(*table, {std::string("caf\xe9\xff.html"), 0, false, std::nullopt, 0});
    TMemTableModel model(*table, AllColumns());

    const QVariant name = model.index(0, 0).data();
    const QVariant hits = model.index(0, 1).data();
    const QVariant shown = model.index(0, 2).data();
    const QVariant when = model.index(0, 3).data();
    const QVariant viewed = model.index(0, 4).data();
    QCOMPARE(name.typeId(), QMetaType::QString);
    QCOMPARE(hits.typeId(), QMetaType::Int);
    QCOMPARE(hits.toInt(), 42);
    QCOMPARE(shown.typeId(), QMetaType::Bool);
    QCOMPARE(shown.toBool(), true);
    QCOMPARE(when.typeId(), QMetaType::Double);
    QCOMPARE(when.toDouble(), stamp);
    QCOMPARE(viewed.typeId(), QMetaType::Double);
    QCOMPARE(viewed.toDouble(), 0.25);

    // Bytes from a log that are not UTF-8 become replacement characters.
    QCOMPARE(model.index(1, 0).data().toString(), QString("caf\uFFFD\uFFFD.html"));
    QVERIFY(!model.index(1, 3).data().isValid());  // no value
    QCOMPARE(model.index(0, 1).data(TMemTableModel::FieldTypeRole).toInt(), int(TFieldType::Integer));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Hits"));
  }

  void ReportsTheCurrentRow() {
    auto table = MakeTable();
    AddRow(*table, {"a", 1});
    AddRow(*table, {"b", 2});
    TMemTableModel model(*table, AllColumns());
    QSignalSpy cursor(&model, &TMemTableModel::CurrentRowChanged);
    table->SetRecNo(0);
    table->Next();
    QCOMPARE(cursor.count(), 2);
    QCOMPARE(cursor.last().at(0).toInt(), 1);
    QCOMPARE(model.CurrentRow(), 1);
  }

  void CheckBoxesReportTogglesWithoutStoringThem() {
    auto table = MakeTable();
    AddRow(*table, {"a", 1, true});
    AddRow(*table, {"b", 2, false});
    TMemTableModel model(*table, {{"Name", "Name"}, {"Shown", "", true}});
    QSignalSpy toggles(&model, &TMemTableModel::CheckToggled);

    QCOMPARE(model.index(0, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.index(1, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!model.index(0, 1).data().isValid());  // the box alone, no text
    QVERIFY(model.flags(model.index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));

    QVERIFY(model.setData(model.index(1, 1), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(toggles.count(), 1);
    QCOMPARE(toggles.first(), (QList<QVariant>{1, 1, true}));
    QCOMPARE(table->AsBooleanAt(1, 2), false);  // the owner decides
    QVERIFY(!model.setData(model.index(1, 0), "x", Qt::EditRole));
  }

  void EditableCellsStoreTextsAtOnce() {
    auto table = MakeTable();
    AddRow(*table, {"index.html", 7});
    AddRow(*table, {"news.html", 3});
    TMemTableModel model(*table, {{"Name", "Name", false, true}, {"Hits", "Hits"}});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy edits(&model, &TMemTableModel::ValueEdited);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.flags(model.index(1, 0)).testFlag(Qt::ItemIsEditable));
    QVERIFY(!model.flags(model.index(1, 1)).testFlag(Qt::ItemIsEditable));

    QVERIFY(model.setData(model.index(1, 0), QString("café.html"), Qt::EditRole));
    QCOMPARE(table->AsStringAt(1, 0), std::string("caf\xc3\xa9.html"));
    QCOMPARE(edits.count(), 1);
    QCOMPARE(edits.first(), (QList<QVariant>{1, 0}));
    QCOMPARE(changes.count(), 1);
    QVERIFY(!table->Editing());

    QVERIFY(model.setData(model.index(1, 0), QString("café.html"), Qt::EditRole));  // same text
    QCOMPARE(edits.count(), 1);

    QVERIFY(model.setData(model.index(0, 0), QString(), Qt::EditRole));
    QVERIFY(table->IsNullAt(0, 0));  // an emptied cell has no value
    QCOMPARE(edits.count(), 2);
    QVERIFY(!model.setData(model.index(0, 1), 9, Qt::EditRole));
    QCOMPARE(table->AsIntegerAt(0, 1), 7);

    // Texts longer than the field are cut as the table cuts them.
    QVERIFY(model.setData(model.index(0, 0), QString(50, QChar('x')), Qt::EditRole));
    QCOMPARE(model.index(0, 0).data().toString(), QString(40, QChar('x')));
  }

  void BadColumnsAreRefused() {
    auto table = MakeTable();
    QVERIFY_THROWS_EXCEPTION(EMemTableError, (void)TMemTableModel(*table, {{"Missing", "?"}}));
    QVERIFY_THROWS_EXCEPTION(EMemTableError, (void)TMemTableModel(*table, {{"Hits", "", true}}));
    QVERIFY_THROWS_EXCEPTION(EMemTableError, (void)TMemTableModel(*table, {{"Hits", "", false, true}}));
  }

  // Qt Charts' mappers follow a model reset, not layoutChanged: a refilled table must reach
  // the chart.
  void ChartsShowTheRowsAfterARefill() {
    auto table = MakeTable();
    TMemTableModel model(*table, AllColumns());
    Refill(*table, {{"old", 5}, {"older", 4}});

    QPieSeries pie;
    QVPieModelMapper pieMapper;
    pieMapper.setLabelsColumn(0);
    pieMapper.setValuesColumn(1);
    pieMapper.setModel(&model);
    pieMapper.setSeries(&pie);
    QCOMPARE(pie.count(), 2);

    QBarSeries bars;
    QVBarModelMapper barMapper;
    barMapper.setFirstBarSetColumn(1);
    barMapper.setLastBarSetColumn(1);
    barMapper.setModel(&model);
    barMapper.setSeries(&bars);
    QCOMPARE(bars.count(), 1);

    Refill(*table, {{"index.html", 30}, {"news.html", 20}, {"about.html", 10}});
    QCOMPARE(pie.count(), 3);
    QStringList labels;
    QList<qreal> values;
    for (const QPieSlice* slice : pie.slices()) {
      labels << slice->label();
      values << slice->value();
    }
    QCOMPARE(labels, (QStringList{"index.html", "news.html", "about.html"}));
    QCOMPARE(values, (QList<qreal>{30, 20, 10}));
    QCOMPARE(bars.barSets().size(), 1);
    QCOMPARE(bars.barSets().first()->count(), 3);
    QCOMPARE(bars.barSets().first()->at(2), 10.0);
  }
};

TREVALO_UI_TEST(TMemTableModelTest)
#include "MemTableModelTest.moc"
