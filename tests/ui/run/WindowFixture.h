#pragma once
// The real main window over a temporary program folder, with scripted configuration windows.
#include <QApplication>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analyses/ui/FrameAddPage.h"
#include "analyses/ui/FrameGeneral.h"
#include "analyses/ui/FrameOneFile.h"
#include "analyses/ui/FramePopulareTime.h"
#include "analyses/ui/FrameTabMGrid.h"
#include "run/CombinedRun.h"
#include "config/ValuesEditor.h"
#include "run/ui/ConfigWindows.h"
#include "run/ui/W2main.h"
#include "support/ProgramFixture.h"

namespace uitest {

class TFakeConfigWindows : public IConfigWindows {
public:
  std::vector<std::string> Calls;

  void ShowLogFileConfig() override { Calls.push_back("ShowLogFileConfig"); }
  void ShowHelp() override { Calls.push_back("ShowHelp"); }
  void ShowAbout() override { Calls.push_back("ShowAbout"); }
  void ShowProcessCheckList(const std::function<void(ICheckList&)>&,
                            const std::function<void(const ICheckList&)>&) override {
    Calls.push_back("ShowProcessCheckList");
  }
};

class TWindowFixture {
public:
  explicit TWindowFixture(bool withWindows = true, bool withMainKey = true)
      : Program(withMainKey), Lists(*Program.Globals, Program.Dialogs) {
    Window = std::make_unique<TfrmMain>(*Program.Globals, Lists, Program.HostLookup, Program.Format,
                                        withWindows ? &Windows : nullptr);
    Window->SetUrlOpener([this](const std::string& address) { OpenedUrls.push_back(address); });
  }

  // Shows the window as the program does, so the showing steps run.
  void Show() {
    Window->show();
    QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
  }

  void Trigger(QAction* action) { action->trigger(); }

  static int Rows(const TMemTable& table) { return table.Active() ? table.RecordCount() : 0; }
  int GeneralRows() const { return Rows(Window->FrameGeneral1->Analysis().kbmGeneral); }
  int PopulareRows() const { return Rows(Window->FramePopulareTime1->Analysis().kbmPopulareTime); }
  int SearchRows() const { return Rows(Window->frameSearch->Analysis().kbmSummen); }
  int PagesRows() const { return Rows(Window->framePages->Analysis().kbmSummen); }
  int ProcessRows() const { return Rows(Window->FrameAddPage1->Analysis().kbmData); }

  TProgramFixture Program;
  TValuesEditor Lists;  // the list editor without its window: SetShowModal scripts the user
  TFakeConfigWindows Windows;
  std::vector<std::string> OpenedUrls;
  std::unique_ptr<TfrmMain> Window;
};

}  // namespace uitest
