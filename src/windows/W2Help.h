#pragma once
// The short guide: the plain text of config/"Trevalo guide.txt" in a read-only memo.
#include <QDialog>

#include <string>

class QPlainTextEdit;
class IDialogs;

inline constexpr const char* GuideFile = "Trevalo guide.txt";

class TfrmHelp : public QDialog {
  Q_OBJECT
public:
  // configDir ends in "/". A guide that cannot be read is shown as an error; the window still
  // opens, with its initial line.
  TfrmHelp(const std::string& configDir, IDialogs& dialogs, QWidget* parent = nullptr);

  QPlainTextEdit* fileText = nullptr;

protected:
  void showEvent(QShowEvent* event) override;
};
