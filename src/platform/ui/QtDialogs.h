#pragma once
// The user dialogs of the desktop program: message boxes (always plain text), input boxes and
// the open and save file dialogs, modal over a parent widget that may change or vanish.
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "platform/Dialogs.h"

class TQtDialogs : public IDialogs {
public:
  enum class TBoxKind { Warning, Message, Information, Error, Confirm, YesNo, YesNoCancel };

  explicit TQtDialogs(QWidget* parent = nullptr);

  void SetParent(QWidget* parent) { FParent = parent; }
  QWidget* Parent() const { return FParent; }

  void ShowWarning(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  TAnswer AskYesNoCancel(const std::string& text) override;
  std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& text) override;
  std::optional<std::vector<std::string>> OpenFiles(const TFileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;

  // The pieces below are what the dialogs are made of, open for tests.

  // A message box of that kind, with its buttons, default and escape button, not yet shown.
  static std::unique_ptr<QMessageBox> MakeBox(TBoxKind kind, const QString& text, QWidget* parent);
  // The answer a finished box gives (its escape button's answer when it was just closed).
  static TAnswer AnswerOf(const QMessageBox& box);
  // An input box whose labels show plain text.
  static std::unique_ptr<QInputDialog> MakeInputBox(const QString& caption, const QString& prompt,
                                                    const QString& text, QWidget* parent);
  // "Description (*.ext)|*.ext|Other (*.a;*.b)|*.a;*.b" -> Qt's "Description (*.ext);;Other (*.a *.b)".
  static QString ConvertFilter(const std::string& filter);
  // Sets up a file dialog: title, folder, filter, default extension, selection, overwrite prompt.
  static void SetUpFileDialog(QFileDialog& dialog, const TFileDialogOptions& options, bool save);

private:
  TAnswer Ask(TBoxKind kind, const std::string& text);

  QPointer<QWidget> FParent;
};
