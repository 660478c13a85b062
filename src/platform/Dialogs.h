#pragma once
// Everything the core asks the user goes through this service, so commands that ask
// something can be tested with scripted answers. Texts are always shown as plain text.
#include <optional>
#include <string>
#include <vector>

enum class TAnswer { Yes, No, Cancel };

struct TFileDialogOptions {
  std::string Title;
  std::string Folder;            // start folder; empty: the platform's default
  std::string Filter;            // "Description (*.ext)|*.ext", empty: every file
  std::string DefaultExtension;  // ".lf", or empty
  bool MultiSelect = false;
  bool OverwritePrompt = false;  // save dialogs ask before replacing a file
  // A check box in a save dialog, shown when CheckText is not empty: it starts as *Checked
  // and its state is stored there when the dialog is accepted.
  std::string CheckText;
  bool* Checked = nullptr;
};

class IDialogs {
public:
  virtual ~IDialogs() = default;
  virtual void ShowWarning(const std::string& text) = 0;      // warning icon, OK
  virtual void ShowMessage(const std::string& text) = 0;      // plain box, OK
  virtual void ShowInformation(const std::string& text) = 0;  // information icon, OK
  virtual void ShowError(const std::string& text) = 0;        // error icon, OK
  virtual bool Confirm(const std::string& text) = 0;          // OK (true) / Cancel
  virtual bool AskYesNo(const std::string& text) = 0;         // Yes (true) / No
  virtual TAnswer AskYesNoCancel(const std::string& text) = 0;
  // An input box; cancelling returns `text` unchanged.
  virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                               const std::string& text) = 0;
  // Chosen files with full paths; nothing when cancelled.
  virtual std::optional<std::vector<std::string>> OpenFiles(const TFileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFile(const TFileDialogOptions& options) = 0;
};
