// The real configuration windows behind the main window's commands, each closed by the test
// as soon as it is shown.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "platform/CheckList.h"
#include "run/WindowFixture.h"
#include "run/ui/ConfigWindowSet.h"
#include "support/UiTest.h"

namespace {

// Closes the next modal window once it is shown and remembers its title.
class TModalCloser {
public:
  TModalCloser() {
    QObject::connect(&FTimer, &QTimer::timeout, [this] {
      if (QWidget* window = QApplication::activeModalWidget()) {
        Title = window->windowTitle();
        window->close();
      } else if (++FTries < 500) {
        FTimer.start(10);
      }
    });
    FTimer.setSingleShot(true);
    FTimer.start(0);
  }
  QString Title;

private:
  QTimer FTimer;
  int FTries = 0;
};

}  // namespace

class TConfigWindowSetTest : public QObject {
  Q_OBJECT

private slots:
  void AboutBoxCarriesTheVersion() {
    uitest::TProgramFixture program;
    TConfigWindowSet windows(*program.Globals);
    QCOMPARE(windows.AboutBox().Text(atProduktVersion), QString("Version: 1.1"));
    TModalCloser closer;
    windows.ShowAbout();
    QCOMPARE(closer.Title, QString("Trevalo"));
  }

  void MenuCommandsOpenTheRealWindows_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("title");
    QTest::newRow("guide") << "menuHelpGuide" << "short guide";
    QTest::newRow("log types") << "menuLogFileTypes" << "";
  }
  void MenuCommandsOpenTheRealWindows() {
    QFETCH(QString, entry);
    QFETCH(QString, title);
    uitest::TProgramFixture program;
    TConfigWindowSet windows(*program.Globals);
    TValuesEditor lists(*program.Globals, program.Dialogs);
    TfrmMain window(*program.Globals, lists, program.HostLookup, program.Format, &windows);
    windows.SetParent(&window);
    TModalCloser closer;
    window.findChild<QAction*>(entry)->trigger();
    QVERIFY(!closer.Title.isNull());
    if (!title.isEmpty()) QCOMPARE(closer.Title, title);
    QVERIFY(program.Errors().empty());
  }

  void CheckListIsFilledShownAndSaved() {
    uitest::TProgramFixture program;
    TConfigWindowSet windows(*program.Globals);
    std::vector<std::string> groups;
    bool saved = false;
    TModalCloser closer;
    windows.ShowProcessCheckList([](ICheckList& box) { box.Add("images", true); },
                                 [&](const ICheckList& box) {
                                   saved = true;
                                   for (int i = 0; i < box.Count(); ++i) groups.push_back(box.Text(i));
                                 });
    QCOMPARE(closer.Title, QString("Process Check List"));
    QVERIFY(saved);
    QCOMPARE(groups, std::vector<std::string>{"images"});
  }
};

TREVALO_UI_TEST(TConfigWindowSetTest)
#include "ConfigWindowSetTest.moc"
