// What the main window shows of bad input: text from logs and file names stays text, never
// markup; a settings file that cannot be read is reported without trapping the user.
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QStyledItemDelegate>
#include <QTimer>

#include <filesystem>

#include "config/SettingsFile.h"
#include "platform/ui/QtDialogs.h"
#include "run/WindowFixture.h"
#include "support/UiTest.h"

namespace {

using namespace uitest;
namespace fs = std::filesystem;

const std::string Markup = "<b>x</b><img src=y>";

// A combined-log line whose request and referrer hold markup.
std::string MarkupLine() {
  return "10.0.0.1 - - [02/Jan/2023:10:00:00 +0000] \"GET /" + Markup + " HTTP/1.1\" 200 1000 " +
         "\"http://www.google.com/search?q=<i>red</i>+shoes\" \"Mozilla/5.0\"";
}

// What the next modal message box showed; it is closed at once. A box that never comes
// leaves Shown false instead of hanging the test.
struct TBoxSeen {
  bool Shown = false;
  QString Text;
  Qt::TextFormat Format = Qt::AutoText;
  bool LabelsPlain = false;
};

void WatchNextBox(TBoxSeen& seen) {
  auto* poll = new QTimer(QCoreApplication::instance());
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr && !clock->hasExpired(10000)) return;
    poll->stop();
    poll->deleteLater();
    if (box == nullptr) return;
    seen.Shown = true;
    seen.Text = box->text();
    seen.Format = box->textFormat();
    seen.LabelsPlain = true;
    for (const QLabel* label : box->findChildren<QLabel*>())
      if (label->text().contains("<b>")) seen.LabelsPlain = seen.LabelsPlain && label->textFormat() == Qt::PlainText;
    box->reject();
  });
  poll->start(10);
}

// The main window over the installed configuration with the real message boxes.
class TBoxWindow {
public:
  TBoxWindow() : Globals(Store, Dialogs, ProgramFolder()), Lists(Globals, Dialogs), Window(Globals, Lists, Lookup, Format) {
    Store.CreateKey(MainKey);
    Dialogs.SetParent(&Window);
  }

  std::string ProgramFolder() {
    fs::copy(TREVALO_INSTALLED_CONFIG, Dir.Path() / "config", fs::copy_options::recursive);
    return Dir.Path().string() + "/";
  }

  testsupport::TTempDir Dir;
  testsupport::TMemorySettingsStore Store;
  TQtDialogs Dialogs;
  testsupport::TFakeLocalFormat Format;
  testsupport::TFakeHostLookup Lookup;
  Tglobals Globals;
  TValuesEditor Lists;
  TfrmMain Window;
};

}  // namespace

class TBadInputWindowTest : public QObject {
  Q_OBJECT

private slots:
  void MarkupInLogLinesIsShownAsText() {
    TWindowFixture f;
    f.Program.UseLog({MarkupLine(), MarkupLine()});
    f.Show();
    f.Window->menuSelectAll->setChecked(true);
    f.Window->btnGeneralStart->trigger();
    QVERIFY(f.Program.Errors().empty());

    for (TframeTabMGrid* frame : {f.Window->framePages, f.Window->frameSearch}) {
      QAbstractItemModel* model = frame->tabSummen->model();
      QVERIFY(model->rowCount() > 0);
      QModelIndex named;
      for (int column = 0; column < model->columnCount(); ++column) {
        const QString text = model->index(0, column).data().toString();
        if (text.contains('<')) named = model->index(0, column);
      }
      QVERIFY2(named.isValid(), "no cell holds the markup");
      // The cell's delegate draws its display text as it stands; no tooltip interprets it.
      auto* delegate = qobject_cast<QStyledItemDelegate*>(frame->tabSummen->itemDelegateForIndex(named));
      QVERIFY(delegate != nullptr);
      QVERIFY(delegate->displayText(named.data(), QLocale()).contains("<"));
      QVERIFY(!named.data(Qt::ToolTipRole).isValid());
    }
    TMemTable& pages = f.Window->framePages->Analysis().kbmSummen;
    QCOMPARE(pages.AsStringAt(0, pages.FieldNo("Name")), "/" + Markup);
  }

  void MarkupInAFileNameIsShownAsTextInTheErrorBox() {
    TBoxWindow w;
    const std::string log = w.Dir.File("<b>bold<b> <img src=y>.log");
    testsupport::WriteBytes(log, MarkupLine() + "\n" + MarkupLine().substr(0, 20) + "\n");
    w.Globals.WriteListFile(InputFileList, log + "\r\n");
    w.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.Window));
    w.Window.menuSelectAll->setChecked(false);

    TBoxSeen seen;
    WatchNextBox(seen);
    w.Window.btnGeneralStart->trigger();
    QTRY_VERIFY(seen.Shown);
    QCOMPARE(seen.Format, Qt::PlainText);
    QVERIFY2(seen.Text.contains(QString::fromStdString("\"" + log + "\", line 2")), qPrintable(seen.Text));
    QVERIFY(seen.LabelsPlain);
    QVERIFY(w.Window.btnGeneralStart->isEnabled());
  }

  void DamagedSettingsAreReportedOnceNotAtEveryActivation() {
    testsupport::TTempDir dir;
    fs::copy(TREVALO_INSTALLED_CONFIG, dir.Path() / "config", fs::copy_options::recursive);
    const std::string settingsPath = dir.File("settings.json");
    testsupport::WriteBytes(settingsPath, "{\"keys\": {\"Software\\\\Orvanta");
    TSettingsFile store(settingsPath);
    testsupport::TFakeDialogs dialogs;
    Tglobals globals(store, dialogs, dir.Path().string() + "/");
    TValuesEditor lists(globals, dialogs);
    TFakeConfigWindows windows;
    testsupport::TFakeLocalFormat format;
    testsupport::TFakeHostLookup lookup;
    TfrmMain window(globals, lists, lookup, format, &windows);

    int thrown = 0;
    for (int activation = 0; activation < 3; ++activation) {
      try {
        window.CheckMainPage();
      } catch (const ESettingsError& e) {
        ++thrown;
        QVERIFY(std::string(e.what()).find(settingsPath) != std::string::npos);
      }
    }
    QCOMPARE(thrown, 1);
    QVERIFY(windows.Calls.empty());

    // Showing the window reports the file through the error box and leaves it usable.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto errors = dialogs.TextsOf("error");
    QVERIFY(!errors.empty());
    for (const std::string& error : errors) QVERIFY(error.find(settingsPath) != std::string::npos);
    QVERIFY(window.menuMain->menuAction()->isEnabled());
    QCOMPARE(testsupport::ReadBytes(settingsPath), std::string("{\"keys\": {\"Software\\\\Orvanta"));
  }
};

TREVALO_UI_TEST(TBadInputWindowTest)
#include "BadInputWindowTest.moc"
