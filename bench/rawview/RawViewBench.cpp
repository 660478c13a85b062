// trevalo-rawview-bench FILE [--find TEXT] [--shots DIR]: the raw view of the real main window
// over a big log, timed as a user meets it: the first screen, the index complete, the memory
// of the process, a jump to the last line, a search from the top for a text near the end, and
// paging. Settings go to a temporary folder. With --shots, pictures of the search and of "Go to
// Line" (its box, then the line reached) are saved; run under xvfb-run for the box to show.
// Prints figures; it is not a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QInputDialog>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "analyses/ui/FrameOneFile.h"
#include "config/SettingsFile.h"
#include "config/WSGlobal.h"
#include "platform/ProgramDir.h"
#include "platform/SilentDialogs.h"
#include "platform/ui/QtDialogs.h"
#include "platform/ui/QtHostLookup.h"
#include "platform/ui/QtLocalFormat.h"
#include "run/ui/W2main.h"
#include "windows/W2Files.h"

namespace {

// Answers the input box ("Go to Line") with a set text.
class TScriptedDialogs : public TSilentDialogs {
public:
  std::string Answer;
  std::string InputBox(const std::string&, const std::string&, const std::string& text) override {
    return Answer.empty() ? text : Answer;
  }
};

double StatusMiB(const std::string& name) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(name + ":", 0) == 0) return std::stod(line.substr(name.size() + 1)) / 1024.0;
  return 0;
}

// Processes events until done() holds; the milliseconds it took.
double WaitFor(const std::function<bool()>& done, const QElapsedTimer& clock) {
  while (!done()) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(200);
  }
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void Save(QWidget& window, const QString& folder, const QString& name, bool screen) {
  QApplication::processEvents();
  const QPixmap picture = screen ? QGuiApplication::primaryScreen()->grabWindow(0) : window.grab();
  const QString path = folder + "/" + name;
  std::printf("  picture           %s%s\n", path.toStdString().c_str(), picture.save(path) ? "" : " (not saved)");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: trevalo-rawview-bench FILE [--find TEXT] [--shots DIR]\n");
    return 2;
  }
  const std::string file = argv[1];
  QString findText = "needle", shots;
  for (int i = 2; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--find") findText = argv[i + 1];
    if (std::string(argv[i]) == "--shots") shots = argv[i + 1];
  }
  QTemporaryDir settings;
  TScriptedDialogs dialogs;
  TSettingsFile store(settings.filePath("settings.json").toStdString());
  Tglobals globals(store, dialogs, ExecutableDirectory());
  TfrmValues values(globals, dialogs);
  TQtHostLookup hostLookup;
  TQtLocalFormat format;
  TfrmMain window(globals, values.Editor(), hostLookup, format, nullptr);
  window.resize(1280, 800);
  window.move(0, 0);
  window.show();
  window.pcMain->setCurrentIndex(window.pcMain->count() - 1);
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  TFrameOneFile& frame = *window.FrameOneFile1;
  TLogView& view = *frame.fileText;
  std::printf("%s\n  resident before   %8.1f MB\n", file.c_str(), StatusMiB("VmRSS"));

  QElapsedTimer clock;
  clock.start();
  frame.LoadFile(file);
  WaitFor([&] { return view.LineCount() >= view.FullRows(); }, clock);
  view.repaint();
  std::printf("  first screen      %8.1f ms (%d lines shown)\n", clock.nsecsElapsed() / 1e6, view.FullRows());
  const double indexed = WaitFor([&] { return !frame.Indexing(); }, clock);
  std::printf("  index complete    %8.1f ms  %lld lines  (%.0f MB/s)\n", indexed, static_cast<long long>(view.LineCount()),
              QFileInfo(QString::fromStdString(file)).size() / 1e3 / indexed);
  std::printf("  resident          %8.1f MB after indexing, peak %.1f MB\n", StatusMiB("VmRSS"), StatusMiB("VmHWM"));

  clock.restart();
  dialogs.Answer = std::to_string(view.LineCount());
  frame.GoToLine();
  view.repaint();
  std::printf("  go to last line   %8.2f ms\n", clock.nsecsElapsed() / 1e6);
  if (!shots.isEmpty()) {
    Save(window, shots, "raw-view-go-to-line.png", false);
    view.GoToLine(view.LineCount() / 2);
    auto box = TQtDialogs::MakeInputBox("Go to Line", QString("Line number (1 - %1):").arg(view.LineCount()),
                                        QString::number(view.LineCount()), &window);
    box->show();
    Save(window, shots, "raw-view-go-to-line-box.png", true);
    box->hide();
    view.GoToLine(view.LineCount() - 1);
  }

  clock.restart();
  for (int i = 0; i < 200; ++i) {
    view.ScrollToLine(view.TopLine() - view.FullRows());
    view.repaint();
  }
  std::printf("  page up           %8.2f ms per screen (200 screens)\n", clock.nsecsElapsed() / 1e6 / 200);

  view.ScrollToLine(0);
  frame.ShowFind();
  frame.edFind->setText(findText);
  clock.restart();
  frame.FindNext();
  const double found = WaitFor([&] { return !frame.Finding(); }, clock);
  view.repaint();
  std::printf("  find from the top %8.1f ms: %s\n", found, frame.lblStatus->text().toStdString().c_str());
  std::printf("  resident at end   %8.1f MB, peak %.1f MB\n", StatusMiB("VmRSS"), StatusMiB("VmHWM"));
  if (!shots.isEmpty()) Save(window, shots, "raw-view-find.png", false);
  return 0;
}
