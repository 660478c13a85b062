#pragma once
// No exception may leave a Qt slot: the frames run the work of their slots through this, which
// shows the error's text instead.
#include <functional>

class IDialogs;

void RunGuarded(IDialogs& dialogs, const std::function<void()>& work);
