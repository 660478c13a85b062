#pragma once
// The dialog service where nobody answers: boxes show nothing, questions take their cautious
// answer, inputs and file dialogs are cancelled. Programs without a window start from it.
#include "platform/Dialogs.h"

class TSilentDialogs : public IDialogs {
public:
  void ShowWarning(const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  void ShowInformation(const std::string&) override {}
  void ShowError(const std::string&) override {}
  bool Confirm(const std::string&) override { return false; }
  bool AskYesNo(const std::string&) override { return false; }
  TAnswer AskYesNoCancel(const std::string&) override { return TAnswer::Cancel; }
  std::string InputBox(const std::string&, const std::string&, const std::string& text) override { return text; }
  std::optional<std::vector<std::string>> OpenFiles(const TFileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const TFileDialogOptions&) override { return std::nullopt; }
};
