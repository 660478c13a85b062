#include "windows/WindowCommand.h"

#include <exception>

#include "platform/Dialogs.h"

void RunWindowCommand(IDialogs& dialogs, const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    dialogs.ShowError(e.what());
  } catch (...) {
    dialogs.ShowError("unknown error");
  }
}
