#pragma once
// A program folder in a temporary folder, with scripted dialogs and settings in memory, for
// the configuration windows.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "config/WSGlobal.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

namespace uitest {

struct TWindowsFixture {
  testsupport::TTempDir Dir;
  testsupport::TMemorySettingsStore Store;
  testsupport::TFakeDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;

  TWindowsFixture() {
    std::filesystem::create_directories(Dir.Path() / "config" / "LogTypes");
    for (const char* table : {"replace.lac", "spare.lac", "errorcodes.lac"}) Config(table, "");
    Globals = std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/");
  }

  std::string ConfigFile(const std::string& name) const { return (Dir.Path() / "config" / name).string(); }
  void Config(const std::string& name, const std::string& bytes) const { testsupport::WriteBytes(ConfigFile(name), bytes); }
  std::string ConfigBytes(const std::string& name) const { return testsupport::ReadBytes(ConfigFile(name)); }
};

// Runs `step` on the next modal window once it has started. A window still open after a few
// seconds is closed, so that a test cannot hang; the watch ends with this object.
class TModalDriver {
public:
  explicit TModalDriver(std::function<void(QWidget& window)> step) : FStep(std::move(step)) {
    FStart.setSingleShot(true);
    QObject::connect(&FStart, &QTimer::timeout, [this] {
      if (QWidget* window = QApplication::activeModalWidget()) FStep(*window);
    });
    FDeadline.setSingleShot(true);
    QObject::connect(&FDeadline, &QTimer::timeout, [] {
      if (QWidget* window = QApplication::activeModalWidget()) window->close();
    });
    FStart.start(0);
    FDeadline.start(5000);
  }

private:
  std::function<void(QWidget& window)> FStep;
  QTimer FStart;
  QTimer FDeadline;
};

}  // namespace uitest
