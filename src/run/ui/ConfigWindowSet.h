#pragma once
// The configuration windows of the program, each created when asked for, shown modally over
// the main window and released again; the About box is set up once.
#include <QPointer>
#include <QWidget>

#include "run/ui/ConfigWindows.h"
#include "windows/QelAboutBox.h"

class Tglobals;

class TConfigWindowSet : public IConfigWindows {
public:
  explicit TConfigWindowSet(const Tglobals& globals);

  void SetParent(QWidget* parent) { FParent = parent; }
  TQELAboutBox& AboutBox() { return FAboutBox; }

  void ShowLogFileConfig() override;
  void ShowHelp() override;
  void ShowAbout() override;
  void ShowProcessCheckList(const std::function<void(ICheckList&)>& fill,
                            const std::function<void(const ICheckList&)>& save) override;

private:
  const Tglobals& FGlobals;
  QPointer<QWidget> FParent;
  TQELAboutBox FAboutBox;
};
