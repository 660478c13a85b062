#include "ConsolePlatform.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "analyses/TextCompare.h"
#include "base/VisibleText.h"
#include "config/WSGlobal.h"
#include "platform/Clock.h"

// Messages may quote log text and file names: their control characters are escaped.
void TConsoleDialogs::ShowWarning(const std::string& text) { std::cerr << "warning: " << EscapeControls(text) << '\n'; }
void TConsoleDialogs::ShowMessage(const std::string& text) { std::cerr << EscapeControls(text) << '\n'; }
void TConsoleDialogs::ShowInformation(const std::string& text) { std::cerr << EscapeControls(text) << '\n'; }
void TConsoleDialogs::ShowError(const std::string& text) { std::cerr << "error: " << EscapeControls(text) << '\n'; }

TConsoleRunHost::TConsoleRunHost() : FTerminal(isatty(STDERR_FILENO) != 0), FStart(TickCount()) {}

TConsoleRunHost::~TConsoleRunHost() {
  if (FShown) std::fputs("\r        \r", stderr);
}

void TConsoleRunHost::SetProgressRange(std::int64_t, std::int64_t maximum) { FMaximum = maximum; }

void TConsoleRunHost::SetProgressPosition(std::int64_t position) {
  if (!FTerminal || FMaximum <= 0 || TickCount() - FStart < 1000) return;
  std::fprintf(stderr, "\r%3d %%", static_cast<int>(position * 100 / FMaximum));
  std::fflush(stderr);
  FShown = true;
}

std::uint64_t TConsoleRunHost::TickCount() { return MonotonicMilliseconds(); }

bool TReadOnlySettings::KeyExists(const std::string& keyPath) {
  return (!FOverrides.empty() && EqualFolded(keyPath, MainKey)) || FBase.KeyExists(keyPath);
}

std::optional<TRegValue> TReadOnlySettings::ReadValue(const std::string& keyPath, const std::string& name) {
  if (EqualFolded(keyPath, MainKey)) {
    for (const auto& [overridden, value] : FOverrides)
      if (EqualFolded(overridden, name)) return value;
  }
  return FBase.ReadValue(keyPath, name);
}
