// Log files dropped onto the main window join the input files by the list editor's rules.
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <filesystem>

#include "run/WindowFixture.h"
#include "support/TestSupport.h"
#include "support/UiTest.h"

using uitest::TWindowFixture;

namespace {

QMimeData* UrlsOf(const QStringList& urls) {
  auto* data = new QMimeData;
  QList<QUrl> list;
  for (const QString& url : urls) list << (url.contains("://") ? QUrl(url) : QUrl::fromLocalFile(url));
  data->setUrls(list);
  return data;
}

// Drags the URLs over a widget of the window and drops them; true when the drag was taken.
bool Drop(QWidget& target, const QStringList& urls) {
  std::unique_ptr<QMimeData> data(UrlsOf(urls));
  const QPoint centre = target.rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(centre, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &drop);
  QCoreApplication::processEvents();  // the files are added once the drop has ended
  return drop.isAccepted();
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

class TDropFilesTest : public QObject {
  Q_OBJECT

private slots:
  void DroppedFilesAreAddedAsTheAddCommandAddsThem() {
    TWindowFixture f;
    f.Program.UseLog(uitest::SmallLog(), "first.log");
    f.Show();
    const std::string a = f.Program.Dir.File("a.log");
    const std::string b = f.Program.Dir.File("b.log.1");
    testsupport::WriteBytes(a, uitest::SmallLog()[0] + "\n");
    testsupport::WriteBytes(b, uitest::SmallLog()[1] + "\n");

    // A changed list asks "Clear all tabs?"; answered No, the results stay.
    f.Window->btnGeneralStart->trigger();
    QVERIFY(f.GeneralRows() > 0);
    f.Program.Dialogs.ConfirmAnswers.push_back(false);
    QVERIFY(Drop(*f.Window, {Q(a), Q(b)}));
    QCOMPARE(f.Program.Dialogs.TextsOf("confirm"), std::vector<std::string>{"Clear all tabs?"});
    QVERIFY(f.GeneralRows() > 0);
    const std::string first = f.Program.Dir.File("first.log");
    QCOMPARE(testsupport::ReadBytes(f.Program.ConfigFile("FileList.lst")), first + "\r\n" + a + "\r\n" + b + "\r\n");
    QCOMPARE(f.Program.Store.ReadValue(MainKey, "DirFiles"), std::optional<TRegValue>(f.Program.Dir.Path().string() + "/"));

    // Listed already: the list is written again, nothing is asked. Answered Yes, the tabs clear.
    QVERIFY(Drop(*f.Window, {Q(a)}));
    QCOMPARE(f.Program.Dialogs.TextsOf("confirm").size(), std::size_t(1));
    QCOMPARE(f.Program.Globals->ReadListFile("FileList.lst"), (std::vector<std::string>{first, a, b}));
    const std::string c = f.Program.Dir.File("c.log");
    testsupport::WriteBytes(c, "");
    f.Program.Dialogs.ConfirmAnswers.push_back(true);
    QVERIFY(Drop(*f.Window, {Q(c)}));
    QCOMPARE(f.GeneralRows(), 0);
    QVERIFY(f.Program.Errors().empty());
  }

  // Dropped onto the raw view's text, the file still goes to the input files.
  void TheFirstDroppedFileEnablesTheStartButtons() {
    TWindowFixture f;
    f.Show();
    QVERIFY(!f.Window->btnGeneralStart->isEnabled());
    const std::string log = f.Program.Dir.File("access.log");
    testsupport::WriteBytes(log, uitest::SmallLog()[0] + "\n");
    f.Program.Dialogs.ConfirmAnswers.push_back(false);
    f.Window->pcMain->setCurrentIndex(5);
    QVERIFY(Drop(*f.Window->FrameOneFile1->fileText->viewport(), {Q(log)}));
    QCOMPARE(f.Program.Globals->ReadListFile("FileList.lst"), std::vector<std::string>{log});
    QVERIFY(f.Window->btnGeneralStart->isEnabled());
    QVERIFY(f.Window->btnStartChart->isEnabled());
  }

  void FoldersAndRemoteAddressesAreNotTaken() {
    TWindowFixture f;
    f.Show();
    const std::string folder = f.Program.Dir.File("logs");
    std::filesystem::create_directory(folder);
    QVERIFY(!Drop(*f.Window, {Q(folder), "https://example.org/access.log", Q(f.Program.Dir.File("missing.log"))}));
    QVERIFY(!std::filesystem::exists(f.Program.ConfigFile("FileList.lst")));

    // Mixed with a file, only the file is added.
    const std::string log = f.Program.Dir.File("access.log");
    testsupport::WriteBytes(log, "");
    f.Program.Dialogs.ConfirmAnswers.push_back(false);
    QVERIFY(Drop(*f.Window, {Q(folder), Q(log)}));
    QCOMPARE(f.Program.Globals->ReadListFile("FileList.lst"), std::vector<std::string>{log});
    QVERIFY(f.Program.Dialogs.DialogOptions.empty());  // no file dialog on the way
  }

  // A run holds the window: no drop is taken and the export menus rest.
  void DuringARunNeitherDropsNorExportMenus() {
    TWindowFixture f;
    f.Program.UseLog(uitest::LongLog(3000));
    f.Show();
    const std::string log = f.Program.Dir.File("other.log");
    testsupport::WriteBytes(log, "");
    bool checked = false;
    QTimer::singleShot(0, f.Window.get(), [&] {
      TfrmMain& w = *f.Window;
      QVERIFY(w.Running());
      QVERIFY(!Drop(w, {Q(log)}));
      TGridView& grid = *w.FrameGeneral1->tabStatusCodes;
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), grid.mapToGlobal(QPoint(5, 5)));
      QApplication::sendEvent(grid.viewport(), &event);
      QVERIFY(!grid.ExportMenu()->isVisible());
      w.btnStop1->trigger();
      checked = true;
    });
    f.Window->btnGeneralStart->trigger();
    QVERIFY(checked);
    QCOMPARE(f.Program.Globals->ReadListFile("FileList.lst").size(), std::size_t(1));
  }
};

TREVALO_UI_TEST(TDropFilesTest)
#include "DropFilesTest.moc"
