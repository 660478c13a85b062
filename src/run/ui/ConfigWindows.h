#pragma once
// The configuration windows the main window opens: list editor, log-type editor, guide,
// About box and process check list. The main window works without them, with the commands
// that open them disabled.
#include <functional>

class ICheckList;

class IConfigWindows {
public:
  virtual ~IConfigWindows() = default;
  // The input-file editor; true when the list was changed.
  virtual bool EditInputFiles() = 0;
  virtual void EditLockWords() = 0;
  virtual void ShowLogFileConfig() = 0;
  virtual void ShowHelp() = 0;
  virtual void ShowAbout() = 0;
  // The check list, modal: fill before showing, save after closing (however it was closed).
  virtual void ShowProcessCheckList(const std::function<void(ICheckList&)>& fill,
                                    const std::function<void(const ICheckList&)>& save) = 0;
};
