// The raw file view over the line index: opening, going to a line, finding, long lines,
// selecting, compressed logs, and logs that grow, shrink or are replaced while shown.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "analyses/ui/FrameOneFile.h"
#include "log/QelNewFile.h"
#include "support/GzipBytes.h"
#include "support/ProgramFixture.h"
#include "support/UiTest.h"

namespace {

std::string NumberedLines(int count, const std::string& end = "\n", int from = 0) {
  std::string text;
  for (int i = from; i < from + count; ++i) text += "line " + std::to_string(i + 1) + end;
  return text;
}

// A frame on screen over a program folder, with the raw view's file in that folder.
struct TRawView {
  uitest::TProgramFixture Program;
  TFrameOneFile Frame{*Program.Globals, Program.Dialogs};

  TRawView() {
    Frame.resize(700, 400);
    Frame.show();
    Frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Frame));
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = Program.Dir.File(name);
    testsupport::WriteBytes(path, bytes);
    return path;
  }
  bool Indexed() { return QTest::qWaitFor([&] { return !Frame.Indexing(); }, 10000); }
  bool Found() { return QTest::qWaitFor([&] { return !Frame.Finding(); }, 10000); }
  QString Status() const { return Frame.lblStatus->text(); }
  std::int64_t Lines() const { return Frame.fileText->LineCount(); }
};

}  // namespace

class TRawViewTest : public QObject {
  Q_OBJECT

private slots:
  // The tab's own rules: the dialog in "DirFiles", the name, an empty file, a second file
  // replacing the first, a file that cannot be opened keeping the text, clear.
  void OpensReplacesAndClears() {
    TRawView v;
    v.Program.Globals->WriteRegString("DirFiles", v.Program.Dir.Path().string());
    const std::string first = v.Write("first.log", "one\ntwo\n"), empty = v.Write("empty.log", "");
    v.Program.Dialogs.OpenAnswers.push_back(std::vector<std::string>{first});
    v.Frame.OpenFile();
    QCOMPARE(v.Program.Dialogs.DialogOptions.at(0).Folder, v.Program.Dir.Path().string());
    QVERIFY(v.Indexed());
    QCOMPARE(v.Frame.edFilename->text(), QString::fromStdString(first));
    QCOMPARE(v.Frame.fileText->ShownTexts(), QStringList({"one", "two"}));

    v.Program.Dialogs.OpenAnswers.push_back(std::nullopt);  // cancelled: nothing changes
    v.Frame.OpenFile();
    QCOMPARE(v.Frame.edFilename->text(), QString::fromStdString(first));
    QCOMPARE(v.Lines(), 2);

    const std::string missing = v.Program.Dir.File("missing.log");
    try {
      v.Frame.LoadFile(missing);
      QFAIL("no error for a missing file");
    } catch (const EQelFileError& e) {
      QVERIFY(std::string(e.what()).find(missing) != std::string::npos);
    }
    QCOMPARE(v.Frame.edFilename->text(), QString::fromStdString(missing));
    QCOMPARE(v.Frame.fileText->ShownTexts(), QStringList({"one", "two"}));

    v.Frame.LoadFile(empty);
    QVERIFY(v.Indexed());
    QCOMPARE(v.Lines(), 0);
    QVERIFY(v.Frame.fileText->ShownTexts().isEmpty());
    QCOMPARE(v.Frame.edFilename->text(), QString::fromStdString(empty));

    v.Frame.LoadFile(first);
    v.Frame.ClearFile();
    QVERIFY(v.Frame.edFilename->text().isEmpty());
    QCOMPARE(v.Lines(), 0);
    QVERIFY(v.Frame.fileText->ShownTexts().isEmpty());

    v.Frame.resize(500, 300);
    v.Frame.FrameResize();
    QCOMPARE(v.Frame.fileText->y(), v.Frame.edFilename->height() + 10);
    QCOMPARE(v.Frame.fileText->width(), v.Frame.edFilename->width());
  }

  // Every kind of line end; NUL and other control bytes, bad UTF-8 and markup shown as text.
  void ShowsBytesAsPlainText() {
    TRawView v;
    v.Frame.LoadFile(v.Write("odd.log", std::string("a\r\nb\rc\nnul\0x\tt\n<b>bold</b>\n\xc3\xa9\xff\n", 30)));
    QVERIFY(v.Indexed());
    QCOMPARE(v.Frame.fileText->ShownTexts(),
             QStringList({"a", "b", "c", QString("nul\u00b7x t"), "<b>bold</b>", QString("\u00e9\ufffd")}));
  }

  // Shortcuts: Ctrl+G goes to a line and marks it, Ctrl+F opens the find bar, Enter and F3
  // find the next hit, Shift+F3 the previous; hits lie in pieces far apart.
  void GoesToLinesAndFindsText() {
    TRawView v;
    std::string text = NumberedLines(200000);
    text.replace(text.find("line 11\n"), 4, "NEEDLE");
    text.replace(text.find("line 150001\n") + 1, 4, "needle");
    v.Frame.LoadFile(v.Write("big.log", text));
    QVERIFY(v.Indexed());
    QCOMPARE(v.Lines(), 200000);

    v.Program.Dialogs.InputAnswers.push_back("200000");
    QTest::keyClick(v.Frame.fileText, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(v.Program.Dialogs.TextsOf("input"), std::vector<std::string>{"Go to Line|Line number (1 - 200000):|1"});
    QCOMPARE(v.Frame.fileText->CurrentLine(), 199999);
    QVERIFY(v.Frame.fileText->ShownTexts().contains("line 200000"));
    v.Program.Dialogs.InputAnswers.push_back("200001");
    v.Frame.GoToLine();
    QVERIFY(v.Status().contains("There is no line 200001; the file has 200000 lines."));
    v.Program.Dialogs.InputAnswers.push_back("ten");
    v.Frame.GoToLine();
    QVERIFY(v.Status().contains("\"ten\" is not a line number."));
    QCOMPARE(v.Frame.fileText->CurrentLine(), 199999);

    QTest::keyClick(v.Frame.fileText, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(v.Frame.fileText->TopLine(), 0);
    QTest::keyClick(v.Frame.fileText, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(v.Frame.panFind->isVisible());
    QVERIFY(v.Frame.edFind->hasFocus());
    QTest::keyClicks(v.Frame.edFind, "needle");
    QTest::keyClick(v.Frame.edFind, Qt::Key_Return);
    QVERIFY(v.Found());
    QCOMPARE(v.Frame.fileText->Hit()->Line, 10);
    QCOMPARE(v.Frame.fileText->Hit()->Column, 0);
    QTest::keyClick(v.Frame.edFind, Qt::Key_F3);
    QVERIFY(v.Found());
    QCOMPARE(v.Frame.fileText->Hit()->Line, 150000);
    QCOMPARE(v.Frame.fileText->Hit()->Column, 1);
    QVERIFY(v.Frame.fileText->TopLine() <= 150000 && 150000 < v.Frame.fileText->TopLine() + v.Frame.fileText->FullRows());
    QVERIFY(v.Status().contains("\"needle\" found in line 150001."));
    v.Frame.FindNext();
    QVERIFY(v.Found());
    QVERIFY(v.Status().contains("not found between here and the end of the file"));
    QCOMPARE(v.Frame.fileText->Hit()->Line, 150000);
    QTest::keyClick(v.Frame.edFind, Qt::Key_F3, Qt::ShiftModifier);
    QVERIFY(v.Found());
    QCOMPARE(v.Frame.fileText->Hit()->Line, 10);

    v.Frame.chkMatchCase->setChecked(true);
    v.Frame.FindPrevious();
    QVERIFY(v.Found());
    QVERIFY(v.Status().contains("not found between here and the start of the file"));
    v.Frame.FindNext();
    QVERIFY(v.Found());
    QCOMPARE(v.Frame.fileText->Hit()->Line, 150000);
  }

  // A line of a megabyte shows whole: sideways to its end, and a hit at its end comes into view.
  void LongLineScrollsSideways() {
    TRawView v;
    std::string longLine(1 << 20, 'x');
    longLine.replace(longLine.size() - 8, 8, "THE--END");
    v.Frame.LoadFile(v.Write("long.log", "first\n" + longLine + "\nlast\n"));
    QVERIFY(v.Indexed());
    QCOMPARE(v.Lines(), 3);
    TLogView& view = *v.Frame.fileText;
    QVERIFY(view.ShownTexts().at(1).startsWith("xxxx"));
    QTest::keyClick(&view, Qt::Key_End);
    QVERIFY(view.LeftColumn() > (1 << 20) - 200);
    QVERIFY(view.ShownTexts().at(1).endsWith("THE--END"));
    QCOMPARE(view.ShownTexts().at(2), QString());
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.LeftColumn(), 0);

    v.Frame.edFind->setText("the--end");
    v.Frame.FindNext();
    QVERIFY(v.Found());
    QCOMPARE(view.Hit()->Line, 1);
    QCOMPARE(view.Hit()->Column, (1 << 20) - 8);
    QVERIFY(view.LeftColumn() > 0 && view.ShownTexts().at(1).contains("THE--END"));
  }

  // Dragging selects across lines; Ctrl+C copies with LF line ends; Ctrl+A takes everything.
  void SelectsAndCopies() {
    TRawView v;
    v.Frame.LoadFile(v.Write("crlf.log", "alpha\r\nbravo\r\ncharlie\r\n"));
    QVERIFY(v.Indexed());
    TLogView& view = *v.Frame.fileText;
    QWidget* area = view.viewport();
    const int height = view.fontMetrics().lineSpacing(), width = view.fontMetrics().horizontalAdvance('0');
    const int left = width * 2 + width / 2;  // the margin of one digit and a cell, then half a cell
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(left + 2 * width, height / 2));
    QTest::mouseMove(area, QPoint(left + 3 * width, 2 * height + height / 2));
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(left + 3 * width, 2 * height + height / 2));
    QCOMPARE(view.SelectedText(), QString("pha\nbravo\ncha"));
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("pha\nbravo\ncha"));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("alpha\nbravo\ncharlie"));
    // A short selection is what the find bar looks for.
    view.SetSelection({1, 1}, {1, 4});
    v.Frame.ShowFind();
    QCOMPARE(v.Frame.edFind->text(), QString("rav"));
  }

  // A growing log: Reload (F5) shows what was added and keeps the position; a log cut short
  // or replaced is shown again from the start with a note; a log gone keeps its text.
  void ReloadFollowsTheFile() {
    TRawView v;
    const std::string path = v.Write("live.log", NumberedLines(100));
    v.Frame.LoadFile(path);
    QVERIFY(v.Indexed());
    v.Frame.fileText->ScrollToLine(50);
    testsupport::WriteBytes(path, NumberedLines(150));
    QTest::keyClick(v.Frame.fileText, Qt::Key_F5);
    QVERIFY(v.Indexed());
    QCOMPARE(v.Lines(), 150);
    QCOMPARE(v.Frame.fileText->TopLine(), 50);
    QVERIFY(v.Status().contains("50 lines added."));
    v.Frame.Reload();
    QVERIFY(v.Status().contains("No lines added."));

    QCOMPARE(::truncate(path.c_str(), 32), 0);
    v.Frame.Reload();
    QVERIFY(v.Indexed());
    QCOMPARE(v.Lines(), 5);
    QCOMPARE(v.Frame.fileText->TopLine(), 0);
    QVERIFY(v.Status().contains("The file was cut short; it is shown again from the start."));

    const std::string rotated = v.Write("next.log", "new first line\n");
    std::filesystem::rename(rotated, path);
    v.Frame.actReload->trigger();
    QVERIFY(v.Indexed());
    QCOMPARE(v.Frame.fileText->ShownTexts(), QStringList({"new first line"}));
    QVERIFY(v.Status().contains("The file was replaced"));

    std::filesystem::remove(path);
    v.Frame.actReload->trigger();
    QCOMPARE(v.Program.Errors().size(), std::size_t(1));
    QVERIFY(v.Program.Errors()[0].find(path) != std::string::npos);
    QCOMPARE(v.Frame.fileText->ShownTexts(), QStringList({"new first line"}));
  }

  // Cut short while shown, without a reload: the view notices as it reads and starts again.
  void NoticesACutWhileShown() {
    TRawView v;
    const std::string path = v.Write("cut.log", NumberedLines(100000));
    v.Frame.LoadFile(path);
    QVERIFY(v.Indexed());
    QCOMPARE(::truncate(path.c_str(), 0), 0);
    v.Frame.fileText->ScrollToLine(90000);
    v.Frame.fileText->repaint();
    QTRY_VERIFY(v.Status().contains("cut short"));
    QVERIFY(v.Indexed());
    QCOMPARE(v.Lines(), 0);
  }

  // Compressed: the text it holds, the last line reached; damage reported naming the file,
  // the lines before it shown.
  void ShowsCompressedLogs() {
    TRawView v;
    v.Frame.LoadFile(v.Write("access.log.1.gz", testsupport::GzipBytes(NumberedLines(50000, "\r\n"))));
    QVERIFY(v.Indexed());
    QCOMPARE(v.Lines(), 50000);
    QVERIFY(v.Status().contains("compressed"));
    v.Frame.fileText->GoToLine(49999);
    QVERIFY(v.Frame.fileText->ShownTexts().contains("line 50000"));
    QCOMPARE(v.Frame.fileText->LineText(20000), QString("line 20001"));

    const std::string bytes = testsupport::GzipBytes(NumberedLines(50000));
    const std::string cut = v.Write("cut.log.gz", bytes.substr(0, bytes.size() / 2));
    v.Frame.LoadFile(cut);
    QVERIFY(v.Indexed());
    QCOMPARE(v.Program.Errors().size(), std::size_t(1));
    QVERIFY(v.Program.Errors()[0].find(cut) != std::string::npos);
    QVERIFY(v.Lines() > 1000);
    QCOMPARE(v.Frame.fileText->LineText(v.Lines() - 1), QString("line %1").arg(v.Lines()));
  }
};

TREVALO_UI_TEST(TRawViewTest)
#include "RawViewTest.moc"
