#pragma once
// Commands of the configuration windows run through here: an error a command raises is shown
// to the user and never leaves the Qt slot that ran it.
#include <functional>

class IDialogs;

void RunWindowCommand(IDialogs& dialogs, const std::function<void()>& command);
