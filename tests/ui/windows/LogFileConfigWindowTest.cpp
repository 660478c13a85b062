#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "config/ui/MemTableModel.h"
#include "support/UiTest.h"
#include "windows/W2LogFileConfig.h"
#include "windows/WindowsFixture.h"

using namespace uitest;

namespace {

const std::string Header = "'Name';'LeftChar';'RightChar'\r\n";

struct TConfigFixture : TWindowsFixture {
  TConfigFixture() { Config("ParserConfig.txt", "Request\r\nIP\r\nDate\r\nbytes\r\n"); }
  std::string LogType(const std::string& name) const { return ConfigFile("LogTypes/" + name); }
};

QModelIndex Cell(TfrmLogFileConfig& window, int row, int column) { return window.Model().index(row, column); }

// Opens the cell's editor as a double click would.
QWidget* OpenEditor(TfrmLogFileConfig& window, int row, int column) {
  window.dbConfig->setCurrentIndex(Cell(window, row, column));
  window.dbConfig->edit(Cell(window, row, column));
  return window.dbConfig->indexWidget(Cell(window, row, column));
}

void Open(TConfigFixture& f, TfrmLogFileConfig& window, const std::string& path) {
  f.Dialogs.OpenAnswers.push_back(std::vector<std::string>{path});
  window.btnLoadFromFile->click();
}

}  // namespace

class TLogFileConfigWindowTest : public QObject {
  Q_OBJECT

private slots:
  void BuildsWithItsCaptionsHintsAndSize() {
    TConfigFixture f;
    TfrmLogFileConfig window(*f.Globals, f.Dialogs);
    QCOMPARE(window.size(), QSize(257, 304));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.windowTitle(), QString("Log File Configuration"));
    const std::pair<QToolButton*, QString> hints[] = {
        {window.bntNew, "initialise new"}, {window.btnClear, "clear"},
        {window.btnLoadFromFile, "open file"}, {window.btnWriteToFile, "save file"},
        {window.btnWriteNewFile, "save file as"}, {window.btnClose, "Close"}};
    for (const auto& [button, hint] : hints) QCOMPARE(button->toolTip(), hint);
    QCOMPARE(window.dbConfig->columnWidth(TfrmLogFileConfig::colConfigName), 127);
    QCOMPARE(window.dbConfig->columnWidth(TfrmLogFileConfig::colConfigLeftChar), 46);
    QCOMPARE(window.Model().headerData(2, Qt::Horizontal).toString(), QString("RightChar"));
    QCOMPARE(window.Model().rowCount(), 0);  // no description yet: the grid takes no rows
    QVERIFY(f.Dialogs.Shown.empty());
  }

  void MissingFieldNamesLeaveAnEmptyPickList() {
    TWindowsFixture f;
    TfrmLogFileConfig window(*f.Globals, f.Dialogs);
    QCOMPARE(f.Dialogs.TextsOf("error").size(), std::size_t(1));
    window.bntNew->click();
    auto* combo = qobject_cast<QComboBox*>(OpenEditor(window, 0, 0));
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 0);
  }

  void CellEditorsPickANameOrOneCharacter() {
    TConfigFixture f;
    TfrmLogFileConfig window(*f.Globals, f.Dialogs);
    window.bntNew->click();
    QCOMPARE(window.Model().rowCount(), 1);  // an open, empty description offers one row
    QVERIFY(!window.Editor().Modified());

    auto* combo = qobject_cast<QComboBox*>(OpenEditor(window, 0, TfrmLogFileConfig::colConfigName));
    QVERIFY(combo != nullptr);
    QStringList names;
    for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
    QCOMPARE(names, (QStringList{"bytes", "Date", "IP", "Request"}));
    QVERIFY(!combo->isEditable());
    combo->setCurrentIndex(combo->findText("IP"));
    emit combo->activated(combo->currentIndex());
    QCOMPARE(window.Editor().kbmConfig.AsStringAt(0, 0), std::string("IP"));
    QVERIFY(window.Editor().Modified());

    auto* edit = qobject_cast<QLineEdit*>(OpenEditor(window, 0, TfrmLogFileConfig::colConfigLeftChar));
    QVERIFY(edit != nullptr);
    QCOMPARE(edit->maxLength(), 1);
    QTest::keyClicks(edit, "[x");
    QCOMPARE(edit->text(), QString("["));
    f.Dialogs.SaveAnswers.push_back(f.LogType("new.lf"));
    window.btnWriteToFile->click();  // stores the cell still being edited, then saves
    QCOMPARE(f.Dialogs.DialogOptions.size(), std::size_t(1));
    QCOMPARE(testsupport::ReadBytes(f.LogType("new.lf")), Header + "'IP';'[';\r\n");
  }

  void RowsComeAndGoWithoutMarkingTheDescriptionModified() {
    TConfigFixture f;
    f.Config("LogTypes/two.lf", Header + "'IP';;' '\r\n'Date';'[';']'\r\n");
    TfrmLogFileConfig window(*f.Globals, f.Dialogs);
    Open(f, window, f.LogType("two.lf"));
    QCOMPARE(window.windowTitle(), QString("\"two.lf\" log file"));
    QCOMPARE(window.Model().rowCount(), 2);

    window.dbConfig->setCurrentIndex(Cell(window, 1, 0));
    QTest::keyClick(window.dbConfig, Qt::Key_Insert);
    QCOMPARE(window.Model().rowCount(), 3);
    QCOMPARE(window.dbConfig->currentIndex().row(), 1);
    QTest::keyClick(window.dbConfig, Qt::Key_Down);  // leaves the new row empty: it goes
    QTRY_COMPARE(window.Model().rowCount(), 2);
    QCOMPARE(window.Model().index(1, 0).data().toString(), QString("Date"));
    QCOMPARE(window.dbConfig->currentIndex().row(), 1);

    QTest::keyClick(window.dbConfig, Qt::Key_Down);  // on the last row: appends
    QCOMPARE(window.Model().rowCount(), 3);
    QCOMPARE(window.dbConfig->currentIndex().row(), 2);

    f.Dialogs.ConfirmAnswers = {false, true};
    window.dbConfig->setCurrentIndex(Cell(window, 0, 0));
    QTRY_COMPARE(window.Model().rowCount(), 2);
    QTest::keyClick(window.dbConfig, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(window.Model().rowCount(), 2);
    QTest::keyClick(window.dbConfig, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(window.Model().rowCount(), 1);
    QCOMPARE(f.Dialogs.TextsOf("confirm"), (std::vector<std::string>(2, "Delete record?")));

    QVERIFY(!window.Editor().Modified());
    window.btnClose->click();  // rows deleted, no cell edited: no question
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(!window.Editor().kbmConfig.Active());
    QCOMPARE(f.Dialogs.TextsOf("yesnocancel").size(), std::size_t(0));
  }

  void CloseButtonKeepsTheWindowOnCancel() {
    TConfigFixture f;
    f.Config("LogTypes/two.lf", Header + "'IP';;' '\r\n");
    TfrmLogFileConfig window(*f.Globals, f.Dialogs);
    Open(f, window, f.LogType("two.lf"));
    QVERIFY(window.Model().setData(Cell(window, 0, 2), QString("|")));
    f.Dialogs.YesNoCancelAnswers = {TAnswer::Cancel};
    window.show();
    window.btnClose->click();
    QVERIFY(window.isVisible());
    QCOMPARE(f.Dialogs.TextsOf("yesnocancel"),
             std::vector<std::string>{"Save file: \"" + f.LogType("two.lf") + "\" ?"});
    window.close();  // the close box asks nothing and drops the rows
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Editor().kbmConfig.Active());
    QCOMPARE(testsupport::ReadBytes(f.LogType("two.lf")), Header + "'IP';;' '\r\n");
  }
};

TREVALO_UI_TEST(TLogFileConfigWindowTest)
#include "LogFileConfigWindowTest.moc"
