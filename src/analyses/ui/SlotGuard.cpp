#include "analyses/ui/SlotGuard.h"

#include <exception>

#include "platform/Dialogs.h"

void RunGuarded(IDialogs& dialogs, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& error) {
    dialogs.ShowError(error.what());
  } catch (...) {
    dialogs.ShowError("Unknown error");
  }
}
