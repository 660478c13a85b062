// Getting the numbers out of grids and charts: Copy, Export as CSV... and Save as PNG...,
// with file names from the scripted dialogs.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QTest>

#include <filesystem>

#include "analyses/ui/FrameAddPage.h"
#include "agents/AgentClassifier.h"
#include "analyses/ui/FrameGeneral.h"
#include "analyses/ui/FramePopulareTime.h"
#include "analyses/ui/FrameTabMGrid.h"
#include "analyses/ui/GridView.h"
#include "config/MemTableFixture.h"
#include "config/ui/MemTableDelegate.h"
#include "config/ui/MemTableModel.h"
#include "support/Fakes.h"
#include "support/ProgramFixture.h"
#include "support/TestSupport.h"
#include "support/UiTest.h"

namespace {

namespace fs = std::filesystem;

// A grid over a table whose texts need quoting, with a date-time and a check-box column.
struct TGridFixture {
  TGridFixture() : Table(uitest::MakeTable()) {
    uitest::AddRow(*Table, {"plain", 7, true, uitest::DateTimeOf(2000, 10, 10, 20, 55, 36)});
    uitest::AddRow(*Table, {"a,b \"quoted\"", 12, false});
    uitest::AddRow(*Table, {"Gr\xC3\xBC\xC3\x9F" "e", 3, true});
    Model = std::make_unique<TMemTableModel>(
        *Table, std::vector<TMemTableModel::TColumn>{{"Name", "Name"}, {"Hits", "Hits"}, {"Stamp", "Date"}, {"Shown", "show", true}});
    Grid.setModel(Model.get());
    Grid.setItemDelegate(new TMemTableDelegate(Format, &Grid));
    Grid.EnableExport(Dialogs);
    Grid.resize(400, 200);
  }

  std::unique_ptr<TMemTable> Table;
  std::unique_ptr<TMemTableModel> Model;
  testsupport::TFakeDialogs Dialogs;
  testsupport::TFakeLocalFormat Format;
  TGridView Grid;
};

QString Clipboard() { return QGuiApplication::clipboard()->text(); }

// The entries of a context menu shown by a right click at the widget's centre.
// A grid takes mouse clicks on its viewport. Entries are listed only when the menu opened.
QStringList MenuEntries(QWidget& widget, QMenu* menu) {
  auto* grid = qobject_cast<QAbstractScrollArea*>(&widget);
  QWidget& target = grid ? *grid->viewport() : widget;
  QContextMenuEvent event(QContextMenuEvent::Mouse, target.rect().center(), target.mapToGlobal(target.rect().center()));
  QApplication::sendEvent(&target, &event);
  QStringList entries;
  if (!menu || !menu->isVisible()) return entries;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) entries << action->text() + (action->isEnabled() ? "" : " (off)");
  menu->hide();
  return entries;
}

}  // namespace

class TExportTest : public QObject {
  Q_OBJECT

private slots:
  void CopyTakesTheSelectedRowsOrAllAsShown() {
    TGridFixture f;
    QCOMPARE(MenuEntries(f.Grid, f.Grid.ExportMenu()), (QStringList{"Copy", "Export as CSV..."}));
    f.Grid.actCopy->trigger();
    QCOMPARE(Clipboard(), QString::fromUtf8("Name\tHits\tDate\tshow\n"
                                            "plain\t7\t2000-10-10 20:55:36\t1\n"
                                            "a,b \"quoted\"\t12\t\t0\n"
                                            "Gr\xC3\xBC\xC3\x9F" "e\t3\t\t1\n"));
    // Rows picked with the control key, the first one last.
    f.Grid.selectionModel()->select(f.Model->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.Grid.selectionModel()->select(f.Model->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.Grid.actCopy->trigger();
    QCOMPARE(Clipboard(), QString::fromUtf8("Name\tHits\tDate\tshow\nplain\t7\t2000-10-10 20:55:36\t1\n"
                                            "Gr\xC3\xBC\xC3\x9F" "e\t3\t\t1\n"));
    QVERIFY(f.Dialogs.Shown.empty());
  }

  void ExportWritesTheWholeGridAsCsvWhereTheUserSays() {
    TGridFixture f;
    testsupport::TTempDir dir;
    f.Grid.selectRow(1);  // export ignores the selection
    f.Grid.setColumnHidden(2, true);
    f.Dialogs.SaveAnswers.push_back(dir.File("grid.csv"));
    f.Grid.actExportCsv->trigger();
    QCOMPARE(testsupport::ReadBytes(dir.File("grid.csv")),
             std::string("Name,Hits,show\r\nplain,7,1\r\n\"a,b \"\"quoted\"\"\",12,0\r\nGr\xC3\xBC\xC3\x9F" "e,3,1\r\n"));
    QCOMPARE(f.Dialogs.DialogOptions.size(), std::size_t(1));
    QCOMPARE(f.Dialogs.DialogOptions[0].DefaultExtension, std::string(".csv"));
    QVERIFY(f.Dialogs.DialogOptions[0].OverwritePrompt);

    // Cancelled: nothing written. A folder that does not exist: the error names the file.
    f.Dialogs.SaveAnswers.push_back(std::nullopt);
    f.Grid.actExportCsv->trigger();
    f.Dialogs.SaveAnswers.push_back(dir.File("gone/grid.csv"));
    f.Grid.actExportCsv->trigger();
    QCOMPARE(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
    const auto errors = f.Dialogs.TextsOf("error");
    QCOMPARE(errors.size(), std::size_t(1));
    QVERIFY(errors[0].find(dir.File("gone/grid.csv")) != std::string::npos);
  }

  void ExportedFormulasStayTextUnlessTheUserAsksAndLinksAreReplaced() {
    TGridFixture f;
    uitest::AddRow(*f.Table, {"=HYPERLINK(1)", -5, true});
    testsupport::TTempDir dir;
    testsupport::WriteBytes(dir.File("victim.txt"), "precious");
    fs::create_symlink(dir.File("victim.txt"), dir.File("grid.csv"));
    f.Dialogs.SaveAnswers.push_back(dir.File("grid.csv"));
    f.Grid.actExportCsv->trigger();
    QVERIFY(!f.Dialogs.DialogOptions.back().CheckText.empty());
    QCOMPARE(testsupport::ReadBytes(dir.File("victim.txt")), std::string("precious"));
    QVERIFY(!fs::is_symlink(dir.File("grid.csv")));
    const std::string safe = testsupport::ReadBytes(dir.File("grid.csv"));
    QVERIFY2(safe.find("\r\n'=HYPERLINK(1),-5,") != std::string::npos, safe.c_str());
    f.Dialogs.SaveAnswers.push_back(dir.File("exact.csv"));
    f.Dialogs.CheckAnswers.push_back(true);
    f.Grid.actExportCsv->trigger();
    const std::string exact = testsupport::ReadBytes(dir.File("exact.csv"));
    QVERIFY2(exact.find("\r\n=HYPERLINK(1),-5,") != std::string::npos, exact.c_str());
    QVERIFY(f.Dialogs.TextsOf("error").empty());
  }

  void AnEmptyGridOffersNothingToCopy() {
    auto table = uitest::MakeTable();
    TMemTableModel model(*table, {{"Name", "Name"}});
    testsupport::TFakeDialogs dialogs;
    TGridView grid;
    grid.setModel(&model);
    QVERIFY(grid.ExportMenu() == nullptr);  // no menu until export is enabled
    grid.EnableExport(dialogs);
    QCOMPARE(MenuEntries(grid, grid.ExportMenu()), (QStringList{"Copy (off)", "Export as CSV... (off)"}));
  }

  void ChartsSaveTheirPictureAsPngAndTheirValues() {
    uitest::TProgramFixture program;
    TFramePopulareTime frame(*program.Globals);
    frame.Analysis().PrepareRun(0, 0);
    frame.Analysis().FinishRun();
    frame.resize(640, 400);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    TBarChart& chart = *frame.DBChart;
    QCOMPARE(MenuEntries(chart, chart.ExportMenu()),
             (QStringList{"Save as PNG...", "Copy Values", "Export Values as CSV..."}));

    testsupport::TTempDir dir;
    program.Dialogs.SaveAnswers.push_back(dir.File("hits.png"));
    chart.actSavePng->trigger();
    QImage image(QString::fromStdString(dir.File("hits.png")), "PNG");
    QCOMPARE(image.size(), chart.size());
    QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
    QCOMPARE(program.Dialogs.DialogOptions.back().DefaultExtension, std::string(".png"));

    chart.actCopyValues->trigger();
    const QStringList lines = Clipboard().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 25);
    QCOMPARE(lines[0], QString("Name\tSum"));
    QCOMPARE(lines[1], QString("24\t0"));
    program.Dialogs.SaveAnswers.push_back(dir.File("hits.csv"));
    chart.actExportValues->trigger();
    QVERIFY(testsupport::ReadBytes(dir.File("hits.csv")).rfind("Name,Sum\r\n24,0\r\n1,0\r\n", 0) == 0);
    QVERIFY(program.Errors().empty());
  }

  void ThePieLeavesItsTrackBarsOutOfThePicture() {
    uitest::TProgramFixture program;
    TframeTabMGrid frame(program.Dialogs, program.Format);
    frame.resize(600, 400);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    testsupport::TTempDir dir;
    program.Dialogs.SaveAnswers.push_back(dir.File("pie.png"));
    frame.DBChart->actSavePng->trigger();
    const QImage image(QString::fromStdString(dir.File("pie.png")), "PNG");
    QCOMPARE(image.size(), frame.DBChart->size());
    // The track bar's place is as white as the empty chart around it.
    const QRect bar = frame.TrackBar1->geometry();
    for (const QPoint& p : {bar.topLeft(), bar.center(), bar.bottomRight()})
      QCOMPARE(image.pixelColor(p), QColor(Qt::white));
  }

  void EveryResultGridAndChartOffersExport() {
    uitest::TProgramFixture program;
    TAgentClassifier agents;
    TFrameGeneral general(*program.Globals, program.Format, agents);
    TframeTabMGrid ranked(program.Dialogs, program.Format);
    TFrameAddPage addPage(*program.Globals, program.Dialogs, program.HostLookup, program.Format);
    TFramePopulareTime hits(*program.Globals);
    for (TGridView* grid : {general.tabGeneral, general.tabStatusCodes, general.tabBrowser, general.tabSystem,
                            general.tabCrawler, ranked.tabSummen, addPage.tabData, addPage.tabProcess})
      QVERIFY2(grid->ExportMenu() != nullptr, qPrintable(grid->objectName()));
    for (TModelChart* chart : std::initializer_list<TModelChart*>{general.DBChartBrowser, general.DBChartSystem,
                                                                   general.DBChartCrawler, ranked.DBChart, hits.DBChart})
      QVERIFY2(chart->ExportMenu() != nullptr, qPrintable(chart->objectName()));
  }
};

TREVALO_UI_TEST(TExportTest)
#include "ExportTest.moc"
