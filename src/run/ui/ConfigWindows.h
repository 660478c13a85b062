#pragma once
// The configuration windows the main window creates for each use: log-type editor, guide,
// About box and process check list. The main window works without them, with the commands
// that open them disabled.
#include <functional>

class ICheckList;

class IConfigWindows {
public:
  virtual ~IConfigWindows() = default;
  virtual void ShowLogFileConfig() = 0;
  virtual void ShowHelp() = 0;
  virtual void ShowAbout() = 0;
  // The check list, modal: fill before showing, save after closing (however it was closed).
  virtual void ShowProcessCheckList(const std::function<void(ICheckList&)>& fill,
                                    const std::function<void(const ICheckList&)>& save) = 0;
};
