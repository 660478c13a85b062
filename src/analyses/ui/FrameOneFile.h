#pragma once
// The "View Raw File" tab: the name of a file above its text, read-only.
//
// Files of hundreds of megabytes are read in chunks of 1 MiB appended to the text area, with
// the window's pending events processed between chunks, so the window repaints and can be
// closed while a large file loads. Line ends CR LF, LF and CR all end a line; the text is
// taken as UTF-8. A file whose content is gzip data shows the text it holds.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <functional>
#include <string>

class Tglobals;
class IDialogs;

class TFrameOneFile : public QWidget {
  Q_OBJECT
public:
  TFrameOneFile(const Tglobals& globals, IDialogs& dialogs, QWidget* parent = nullptr);

  // Asks for a file (starting in the folder stored as "DirFiles") and shows it. A file that
  // cannot be opened raises the file error; the name field already shows the new name then.
  void OpenFile();
  // Shows the file named; the text area keeps its text when the file cannot be opened.
  void LoadFile(const std::string& path);
  void ClearFile();
  // Ends a load under way after its current chunk (the text loaded so far stays).
  void CancelLoad() { FCancel = true; }
  bool Loading() const { return FLoading; }

  // Called between chunks; the window processes its pending events there.
  void SetYield(std::function<void()> yield) { FYield = std::move(yield); }

  // Name field at the top as wide as the text area; the text area below, 10 pixels apart.
  void FrameResize();

  QLineEdit* edFilename = nullptr;
  QPlainTextEdit* fileText = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  const Tglobals& FGlobals;
  IDialogs& FDialogs;
  std::function<void()> FYield;
  bool FLoading = false;
  bool FCancel = false;
};
