#include <QListWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "support/UiTest.h"
#include "windows/W2Files.h"
#include "windows/WindowsFixture.h"

using namespace uitest;

namespace {

QStringList Shown(const QListWidget& list) {
  QStringList texts;
  for (int row = 0; row < list.count(); ++row) texts << list.item(row)->text();
  return texts;
}

void Select(QListWidget& list, std::initializer_list<int> rows) {
  list.clearSelection();
  for (int row : rows) list.item(row)->setSelected(true);
}

}  // namespace

class TValuesWindowTest : public QObject {
  Q_OBJECT

private slots:
  void BuildsWithItsCaptionsHintsAndSize() {
    TWindowsFixture f;
    f.Config("BaneWords.lst", "spam\r\n");
    TfrmValues window(*f.Globals, f.Dialogs);
    QCOMPARE(window.size(), QSize(369, 429));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.lstValues->selectionMode(), QAbstractItemView::ExtendedSelection);
    const std::pair<QToolButton*, QString> hints[] = {{window.btnClear, "clear"},
                                                       {window.btnUnselekt, "unselect"},
                                                       {window.btnLoadFromFile, "load from list"},
                                                       {window.btnWriteToFile, "save to list"},
                                                       {window.btnClose, "close"}};
    for (const auto& [button, hint] : hints) QCOMPARE(button->toolTip(), hint);
    // The close button sits at the right end of the toolbar.
    QCOMPARE(window.ToolBar1->actions().size(), 9);
    QCOMPARE(window.ToolBar1->widgetForAction(window.ToolBar1->actions().last()), window.btnClose);

    TModalDriver closeAtOnce([](QWidget& modal) { modal.close(); });
    QVERIFY(!window.EditInputFiles());
    QCOMPARE(window.windowTitle(), QString("Input File(s)"));
    QCOMPARE(window.btnAdd->toolTip(), QString("add file(s)"));
    QVERIFY(!window.btnWriteToFile->isEnabled());

    TModalDriver closeAgain([](QWidget& modal) { modal.close(); });
    window.EditLockWords();
    QCOMPARE(window.windowTitle(), QString("Lock Words"));
    QCOMPARE(window.btnAdd->toolTip(), QString("new lock word"));
    QCOMPARE(Shown(*window.lstValues), QStringList{"spam"});
    QVERIFY(window.btnWriteToFile->isEnabled());
    QVERIFY(f.Dialogs.Shown.empty());
  }

  void DeletesTheSelectedEntriesWhileShown() {
    TWindowsFixture f;
    f.Config("FileList.lst", "/l/a\r\n/l/b\r\n/l/c\r\n/l/d\r\n/l/e\r\n");
    TfrmValues window(*f.Globals, f.Dialogs);
    f.Dialogs.ConfirmAnswers = {true, true};
    TModalDriver user([&](QWidget& modal) {
      Select(*window.lstValues, {1, 3});
      window.btnClear->click();
      Select(*window.lstValues, {0});
      QTest::keyClick(window.lstValues, Qt::Key_Backspace);
      window.btnClose->click();
      (void)modal;
    });
    QVERIFY(window.EditInputFiles());
    QCOMPARE(Shown(*window.lstValues), (QStringList{"/l/c", "/l/e"}));
    QCOMPARE(f.ConfigBytes("FileList.lst"), std::string("/l/c\r\n/l/e\r\n"));
    QCOMPARE(f.Dialogs.TextsOf("yesno").size(), std::size_t(2));
    QVERIFY(f.Dialogs.TextsOf("error").empty());
  }

  void EmptyListTakesDeleteKeysWithoutAQuestion() {
    TWindowsFixture f;
    TfrmValues window(*f.Globals, f.Dialogs);
    QTest::keyClick(window.lstValues, Qt::Key_Delete);
    QTest::keyClick(window.lstValues, Qt::Key_Backspace);
    window.btnClear->click();
    QVERIFY(f.Dialogs.Shown.empty());  // an unexpected question would show as an error too
  }

  void AddedFilesShowAndEnableTheExport() {
    TWindowsFixture f;
    TfrmValues window(*f.Globals, f.Dialogs);
    f.Dialogs.OpenAnswers.push_back(std::vector<std::string>{"/logs/x.log", "/logs/y.log"});
    TModalDriver user([&](QWidget&) {
      QVERIFY(!window.btnWriteToFile->isEnabled());
      window.btnAdd->click();
      QVERIFY(window.btnWriteToFile->isEnabled());
      window.close();  // the close box hides the window as the button does
    });
    QVERIFY(window.EditInputFiles());
    QVERIFY(window.isHidden());
    QCOMPARE(Shown(*window.lstValues), (QStringList{"/logs/x.log", "/logs/y.log"}));
    QVERIFY(window.HasInputFiles());
    QCOMPARE(window.GetList(false), (std::vector<std::string>{"/logs/x.log", "/logs/y.log"}));
  }

  void ErrorsOfACommandAreShown() {
    TWindowsFixture f;
    std::filesystem::create_directory(f.ConfigFile("BaneWords.lst"));
    TfrmValues window(*f.Globals, f.Dialogs);
    f.Dialogs.InputAnswers.push_back("spam");
    TModalDriver user([&](QWidget&) {
      window.btnAdd->click();
      window.close();
    });
    window.EditLockWords();
    QCOMPARE(Shown(*window.lstValues), QStringList{"spam"});  // kept, though not written
    const auto errors = f.Dialogs.TextsOf("error");
    QCOMPARE(errors.size(), std::size_t(1));
    QVERIFY(errors[0].find(f.ConfigFile("BaneWords.lst")) != std::string::npos);
  }
};

TREVALO_UI_TEST(TValuesWindowTest)
#include "ValuesWindowTest.moc"
