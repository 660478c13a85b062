// A new user's first session, through the real windows and the real Qt dialogs: the guide on
// first start, two rotated logs of a custom layout added in the list editor, a description for
// that layout made in the log-type editor and saved, an analysis, a page group hidden in the
// check list and the pages analysed again. The modal windows are answered by a script that
// waits for each one as a user would. With TREVALO_SCREENSHOTS naming a folder, every step
// leaves a picture there (scripts/screenshots).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analyses/ui/FrameTabMGrid.h"
#include "base/MemTable.h"
#include "config/SettingsFile.h"
#include "config/WSGlobal.h"
#include "platform/ui/QtDialogs.h"
#include "platform/ui/QtLocalFormat.h"
#include "run/ui/ConfigWindowSet.h"
#include "run/ui/W2main.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"
#include "support/UiTest.h"
#include "windows/W2Files.h"
#include "windows/W2Help.h"
#include "windows/W2LogFileConfig.h"
#include "windows/W2ProcessCheckList.h"

namespace {

// Answers modal windows in order: each step waits until the active modal window is of its
// kind, then acts on it from a fresh event, so that a step may open the next modal window.
class TModalScript : public QObject {
public:
  using TAct = std::function<void(QWidget*)>;

  TModalScript() {
    connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
    FTimer.start(40);
  }

  template <class TWindow>
  void When(const std::string& what, std::function<void(TWindow*)> act) {
    FSteps.push_back({what, [](QWidget* w) { return qobject_cast<TWindow*>(w) != nullptr; },
                      [act](QWidget* w) { act(qobject_cast<TWindow*>(w)); }});
  }

  bool Finished() const { return FSteps.empty(); }
  std::string Waiting() const { return FSteps.empty() ? std::string() : FSteps.front().What; }

private:
  struct TStep {
    std::string What;
    std::function<bool(QWidget*)> Matches;
    TAct Act;
  };

  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    // A window just answered is left alone until another one (or none) has been active.
    if (modal != FAnswered) FAnswered = nullptr;
    if (FSteps.empty() || modal == nullptr || modal == FAnswered || !modal->isVisible()) return;
    if (!FSteps.front().Matches(modal)) return;
    TStep step = FSteps.front();
    FSteps.pop_front();
    FAnswered = modal;
    QPointer<QWidget> target(modal);
    QTimer::singleShot(0, this, [step, target] {
      if (target) step.Act(target);
    });
  }

  QTimer FTimer;
  std::deque<TStep> FSteps;
  QPointer<QWidget> FAnswered;
};

const std::string Firefox = "\"Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0\"";

// The shop's own layout: address, date, request, status, bytes, then agent before referrer.
std::string ShopLine(const std::string& ip, const std::string& time, const std::string& page,
                     const std::string& referrer) {
  return ip + " [10/Dec/2026:" + time + " +0000] \"GET " + page + " HTTP/1.1\" 200 512 " + Firefox + " \"" +
         referrer + "\"";
}

std::vector<std::string> PageNames(TMemTable& table) {
  std::vector<std::string> names;
  if (!table.Active()) return names;
  const int name = table.FieldIndex("Name");
  for (table.First(); !table.Eof(); table.Next()) names.push_back(table.AsString(name));
  return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

class TNewUserTrial : public QObject {
  Q_OBJECT

private:
  QString FFolder = qEnvironmentVariable("TREVALO_SCREENSHOTS");

  void Picture(QWidget* widget, const QString& name) {
    if (FFolder.isEmpty()) return;
    QDir().mkpath(FFolder);
    QTest::qWait(50);
    QVERIFY(widget->grab().save(FFolder + "/trial-" + name + ".png"));
  }

  static void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  // Chooses files in a file dialog as a user types their names and presses Enter.
  static void Choose(QFileDialog* dialog, const QString& folder, const QString& names) {
    dialog->setDirectory(folder);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit != nullptr);
    edit->setText(names);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  // One row of the log-type editor typed in: the name picked from the drop-down with F2, the
  // two characters typed; Down on the last row appends the next one.
  static void TypeRow(TfrmLogFileConfig* editor, int row, const QString& name, const QString& left,
                      const QString& right) {
    QTableView* grid = editor->dbConfig;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row, TfrmLogFileConfig::colConfigName));
    QTest::keyClick(grid, Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(grid->indexWidget(grid->currentIndex()));
    QVERIFY(combo != nullptr);
    combo->setCurrentIndex(combo->findText(name));
    emit combo->activated(combo->currentIndex());
    QTest::keyClick(combo, Qt::Key_Return);
    const std::pair<int, QString> chars[] = {{TfrmLogFileConfig::colConfigLeftChar, left},
                                              {TfrmLogFileConfig::colConfigRightChar, right}};
    for (const auto& [column, text] : chars) {
      if (text.isEmpty()) continue;
      grid->setCurrentIndex(grid->model()->index(row, column));
      QTest::keyClick(grid, Qt::Key_F2);
      QWidget* cell = grid->indexWidget(grid->currentIndex());
      QVERIFY(cell != nullptr);
      QTest::keyClicks(cell, text);
      QTest::keyClick(cell, Qt::Key_Return);
    }
    // Let closed editors go, as they do between a user's keystrokes.
    QTest::qWait(20);
  }

  void Wait(const TModalScript& script) {
    QTRY_VERIFY2_WITH_TIMEOUT(script.Finished(), ("still waiting for: " + script.Waiting()).c_str(), 30000);
    QTest::qWait(100);
  }

private slots:
  void FirstSession() {
    namespace fs = std::filesystem;
    testsupport::TTempDir dir;
    fs::copy(TREVALO_INSTALLED_CONFIG, dir.Path() / "config", fs::copy_options::recursive);
    for (const char* list : {"FileList.lst", "BaneWords.lst"}) fs::remove(dir.Path() / "config" / list);
    const std::string logs = dir.File("logs");
    fs::create_directory(logs);
    const auto writeLog = [&](const std::string& name, const std::vector<std::string>& lines) {
      std::string text;
      for (const auto& line : lines) text += line + "\n";
      testsupport::WriteBytes(logs + "/" + name, text);
    };
    writeLog("shop.log.1", {ShopLine("10.0.0.1", "10:00:00", "/index.html", "https://www.google.com/search?q=red+shoes"),
                            ShopLine("10.0.0.1", "10:00:01", "/img/logo.png", "https://shop.example/index.html"),
                            ShopLine("10.0.0.1", "10:01:00", "/shoes.html", "https://shop.example/index.html")});
    writeLog("shop.log", {ShopLine("10.0.0.2", "11:00:00", "/index.html", "https://www.bing.com/search?q=blue+hats"),
                          ShopLine("10.0.0.2", "11:00:01", "/img/logo.png", "https://shop.example/index.html"),
                          ShopLine("10.0.0.2", "11:00:02", "/img/hat.jpg", "https://shop.example/hats.html"),
                          ShopLine("10.0.0.2", "11:02:00", "/hats.html", "https://shop.example/index.html")});

    // The program as main() puts it together, over a settings file of its own.
    TQtDialogs dialogs;
    TSettingsFile store(dir.File("settings.json"));
    Tglobals globals(store, dialogs, dir.Path().string() + "/");
    TfrmValues frmValues(globals, dialogs);
    TConfigWindowSet windows(globals);
    testsupport::TFakeHostLookup hostLookup;
    TQtLocalFormat format;
    TfrmMain w(globals, frmValues.Editor(), hostLookup, format, &windows);
    dialogs.SetParent(&w);
    windows.SetParent(&w);
    w.resize(1000, 700);

    // First start: the guide opens over the window.
    TModalScript script;
    script.When<TfrmHelp>("the guide", [this](TfrmHelp* help) {
      Picture(help, "1-guide");
      help->close();
    });
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Wait(script);

    // Two rotated logs added in the list editor; the changed list clears the tabs.
    const QString logFolder = QString::fromStdString(logs);
    script.When<TfrmValues>("the list editor", [](TfrmValues* editor) { Click(editor->btnAdd); });
    script.When<QFileDialog>("the add-files dialog", [this, logFolder](QFileDialog* dialog) {
      Choose(dialog, logFolder, QStringLiteral("\"shop.log.1\" \"shop.log\""));
    });
    script.When<TfrmValues>("the list editor with two files", [this](TfrmValues* editor) {
      QCOMPARE(editor->lstValues->count(), 2);
      Picture(editor, "2-input-files");
      Click(editor->btnClose);
    });
    std::vector<QString> boxes;  // the texts of the message boxes answered
    const auto answer = [&boxes](QMessageBox* box) {
      boxes.push_back(box->text());
      box->button(QMessageBox::Ok)->click();
    };
    script.When<QMessageBox>("Clear all tabs?", answer);
    w.menuInputFiles->trigger();
    Wait(script);
    QCOMPARE(globals.ReadListFile("FileList.lst").size(), std::size_t{2});

    // No installed description fits the shop's layout yet.
    script.When<QMessageBox>("no description suits", answer);
    // "&Select All" is on: the search phrases and the pages both report that they found nothing.
    script.When<QMessageBox>("no search phrases found", answer);
    script.When<QMessageBox>("no pages found", answer);
    w.btnPagesStart->trigger();
    Wait(script);
    const QString none = QStringLiteral("Search Criterion\n\nNo values found in the selected files.");
    QCOMPARE(boxes, (std::vector<QString>{"Clear all tabs?", "No configuration file found which suits your log file(s)!",
                                          none, none}));

    // A description typed in the log-type editor and saved as shop.lf.
    const QString typesFolder = QString::fromStdString(dir.File("config/LogTypes"));
    script.When<TfrmLogFileConfig>("the log-type editor", [this](TfrmLogFileConfig* editor) {
      Click(editor->bntNew);
      const QString q = QStringLiteral("\"");
      TypeRow(editor, 0, "IP", "", "");
      const std::vector<std::array<QString, 3>> rows{{"Date", "[", "]"},      {"Request", q, q},   {"StatusCode", "", ""},
                                                     {"Bytes", "", ""},       {"UserAgent", q, q}, {"Referrer", q, q}};
      for (std::size_t i = 0; i < rows.size(); ++i) {
        QTest::keyClick(editor->dbConfig, Qt::Key_Down);
        TypeRow(editor, static_cast<int>(i) + 1, rows[i][0], rows[i][1], rows[i][2]);
      }
      Picture(editor, "3-log-type-editor");
      Click(editor->btnWriteNewFile);
    });
    script.When<QFileDialog>("the save-as dialog", [typesFolder](QFileDialog* dialog) {
      Choose(dialog, typesFolder, QStringLiteral("shop"));
    });
    script.When<TfrmLogFileConfig>("the log-type editor after saving", [this](TfrmLogFileConfig* editor) {
      Picture(editor, "4-log-type-saved");
      Click(editor->btnClose);
    });
    w.menuLogFileTypes->trigger();
    Wait(script);
    QVERIFY(fs::exists(dir.File("config/LogTypes/shop.lf")));

    // The analysis: "Select All" fills the first four tabs in one run.
    w.btnGeneralStart->trigger();
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    const auto before = PageNames(w.framePages->Analysis().kbmSummen);
    QVERIFY2(Contains(before, "/img/logo.png"), "the pages before hiding include the images");
    QVERIFY(Contains(before, "/hats.html"));
    w.pcMain->setCurrentIndex(0);
    Picture(&w, "5-short-statistics");
    w.pcMain->setCurrentIndex(3);
    Picture(&w, "6-pages-before");

    // The images group switched off in the check list, then the pages again.
    script.When<TfrmProcessCheckList>("the check list", [this](TfrmProcessCheckList* list) {
      const auto found = list->cmbCheckList->findItems(QStringLiteral("images"), Qt::MatchContains);
      QCOMPARE(found.size(), 1);
      found.front()->setCheckState(Qt::Unchecked);
      Picture(list, "7-check-list");
      Click(list->btnClose);
    });
    w.btnPagesAll->trigger();
    Wait(script);
    w.btnPagesClear->trigger();
    w.btnPagesStart->trigger();
    const auto after = PageNames(w.framePages->Analysis().kbmSummen);
    QVERIFY2(!Contains(after, "/img/logo.png") && !Contains(after, "/img/hat.jpg"), "the images are hidden");
    QVERIFY(Contains(after, "/index.html") && Contains(after, "/shoes.html") && Contains(after, "/hats.html"));
    Picture(&w, "8-pages-after");
  }
};

TREVALO_UI_TEST(TNewUserTrial)
#include "NewUserTrialTest.moc"
