#include "run/ui/ConfigWindowSet.h"

#include "config/WSGlobal.h"
#include "windows/ProgramAbout.h"
#include "windows/W2Help.h"
#include "windows/W2LogFileConfig.h"
#include "windows/W2ProcessCheckList.h"

TConfigWindowSet::TConfigWindowSet(const Tglobals& globals) : FGlobals(globals) {
  SetUpProgramAboutBox(FAboutBox);
  // The version line ends in the program's version text.
  FAboutBox.SetText(atProduktVersion, FAboutBox.Text(atProduktVersion) + VersionText);
}

void TConfigWindowSet::ShowLogFileConfig() {
  TfrmLogFileConfig window(FGlobals, FGlobals.Dialogs(), FParent);
  window.exec();
}

void TConfigWindowSet::ShowHelp() {
  TfrmHelp window(FGlobals.ConfigDir(), FGlobals.Dialogs(), FParent);
  window.exec();
}

void TConfigWindowSet::ShowAbout() { FAboutBox.Execute(FParent); }

void TConfigWindowSet::ShowProcessCheckList(const std::function<void(ICheckList&)>& fill,
                                            const std::function<void(const ICheckList&)>& save) {
  TfrmProcessCheckList::Execute(FGlobals, fill, save, FParent);
}
