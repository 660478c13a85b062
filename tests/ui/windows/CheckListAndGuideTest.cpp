#include <QFont>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>

#include "log/QelNewFile.h"
#include "support/UiTest.h"
#include "windows/W2Help.h"
#include "windows/W2ProcessCheckList.h"
#include "windows/WindowsFixture.h"

using namespace uitest;

namespace {

const std::string CheckListKey = std::string(MainKey) + "\\ProccesCheckList";

// The visitor-path frame's side of the cycle: a group met for the first time is stored as
// shown; closing stores every state.
struct TGroupStates {
  const Tglobals& Globals;
  std::vector<std::string> Groups;

  void Fill(ICheckList& box) const {
    for (const std::string& group : Groups) {
      std::int32_t state = 0;
      if (!Globals.ReadRegInteger(group, state, CheckListKey)) {
        Globals.WriteRegInteger(group, 1, CheckListKey);
        state = 1;
      }
      box.Add(group, state == 1);
    }
    if (box.Count() > 0) box.SelectFirst();
  }
  void Save(const ICheckList& box) const {
    for (int i = 0; i < box.Count(); ++i) Globals.WriteRegInteger(box.Text(i), box.Checked(i) ? 1 : 0, CheckListKey);
  }
};

std::optional<TRegValue> State(TWindowsFixture& f, const std::string& group) {
  return f.Store.ReadValue(CheckListKey, group);
}

}  // namespace

class TCheckListAndGuideTest : public QObject {
  Q_OBJECT

private slots:
  void CheckListBuildsAndListsItsGroups() {
    TfrmProcessCheckList window;
    QCOMPARE(window.windowTitle(), QString("Process Check List"));
    QCOMPARE(window.size(), QSize(179, 245));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.btnClose->toolTip(), QString("Close"));
    QCOMPARE(window.ToolBar1->widgetForAction(window.ToolBar1->actions().last()), window.btnClose);

    const std::string odd = "caf\xe9";  // not UTF-8: the name must come back as it went in
    window.Add("Images", true);
    window.Add(odd, false);
    QCOMPARE(window.Count(), 2);
    QCOMPARE(window.Text(1), odd);
    QVERIFY(window.Checked(0));
    QVERIFY(!window.Checked(1));
    QCOMPARE(window.cmbCheckList->item(0)->text(), QString("Images"));
    window.SelectFirst();
    QCOMPARE(window.cmbCheckList->currentRow(), 0);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, window.Text(2));
    window.Clear();
    QCOMPARE(window.Count(), 0);
    window.SelectFirst();
    QCOMPARE(window.cmbCheckList->currentRow(), -1);
  }

  void CheckListStoresTheStatesHoweverItIsClosed() {
    struct TCase {
      const char* Name;
      bool CloseBox;
    };
    for (const TCase& c : {TCase{"button", false}, TCase{"close box", true}}) {
      TWindowsFixture f;
      f.Store.CreateKey(CheckListKey);
      f.Store.WriteValue(CheckListKey, "Scripts", std::int32_t(2));  // neither 0 nor 1
      TGroupStates frame{*f.Globals, {"Images", "Scripts", "Styles"}};
      TModalDriver user([&](QWidget& modal) {
        auto* list = modal.findChild<QListWidget*>("cmbCheckList");
        QVERIFY(list != nullptr);
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(list->item(1)->checkState(), Qt::Unchecked);
        list->item(2)->setCheckState(Qt::Unchecked);
        if (c.CloseBox)
          modal.close();
        else
          modal.findChild<QToolButton*>("btnClose")->click();
      });
      TfrmProcessCheckList::Execute(
          *f.Globals, [&](ICheckList& box) { frame.Fill(box); }, [&](const ICheckList& box) { frame.Save(box); });
      QVERIFY2(State(f, "Images") == TRegValue(std::int32_t(1)), c.Name);  // first seen: shown
      QVERIFY2(State(f, "Scripts") == TRegValue(std::int32_t(0)), c.Name);
      QVERIFY2(State(f, "Styles") == TRegValue(std::int32_t(0)), c.Name);
    }
  }

  void CheckListMakesItsKeyAndShowsNothingWhenFillingFails() {
    TWindowsFixture f;
    bool shown = false;
    TModalDriver watch([&](QWidget& modal) {
      shown = true;
      modal.close();
    });
    QVERIFY_THROWS_EXCEPTION(EQelFileError, TfrmProcessCheckList::Execute(
                                                *f.Globals, [](ICheckList&) { throw EQelFileError("cannot open file x"); },
                                                [](const ICheckList&) { QFAIL("stored after a failed fill"); }));
    QTest::qWait(20);
    QVERIFY(!shown);
    QVERIFY(f.Store.KeyExists(CheckListKey));
  }

  void GuideShowsTheFileAsPlainText() {
    TWindowsFixture f;
    f.Config(GuideFile, "Trevalo\r\n<b>not bold</b>\r\n\r\nend");
    TfrmHelp window(f.Globals->ConfigDir(), f.Dialogs);
    QCOMPARE(window.windowTitle(), QString("short guide"));
    QCOMPARE(window.size(), QSize(638, 487));
    QVERIFY(window.minimumSize() != window.maximumSize());  // resizable
    QVERIFY(window.fileText->isReadOnly());
    QCOMPARE(window.fileText->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(window.fileText->font().pointSize(), 8);
    QCOMPARE(window.fileText->font().family(), QString("Courier New"));
    QCOMPARE(window.fileText->toPlainText(), QString("Trevalo\n<b>not bold</b>\n\nend"));
    QVERIFY(f.Dialogs.Shown.empty());
  }

  void MissingGuideIsReportedAndTheWindowStillOpens() {
    TWindowsFixture f;
    TfrmHelp window(f.Globals->ConfigDir(), f.Dialogs);
    const auto errors = f.Dialogs.TextsOf("error");
    QCOMPARE(errors.size(), std::size_t(1));
    QVERIFY(errors[0].find(f.ConfigFile(GuideFile)) != std::string::npos);
    QCOMPARE(window.fileText->toPlainText(), QString("memoFile"));
  }
};

TREVALO_UI_TEST(TCheckListAndGuideTest)
#include "CheckListAndGuideTest.moc"
