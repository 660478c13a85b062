#include "analyses/ui/FrameOneFile.h"

#include <QResizeEvent>
#include <QStringDecoder>
#include <QTextCursor>

#include <vector>

#include "config/WSGlobal.h"
#include "log/QelNewFile.h"

namespace {

constexpr std::int32_t ChunkSize = 1 << 20;
// A text area lays out a line as a whole: one of many megabytes (binary data, a log of one
// line) would hold the program for minutes, so longer lines are shown in pieces this long.
constexpr qsizetype MaxShownLine = 10000;

// Appends decoded text to the area; a line end at the very end of the file adds no line.
class TTextAppender {
public:
  explicit TTextAppender(QPlainTextEdit& area) : FCursor(area.document()) { FCursor.movePosition(QTextCursor::End); }

  void Add(QString text) {
    if (FPendingCr) text.prepend(u'\r');
    FPendingCr = text.endsWith(u'\r');
    if (FPendingCr) text.chop(1);  // it may be the first half of CR LF
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.isEmpty()) return;
    if (FPendingLineEnd) text.prepend(u'\n');
    FPendingLineEnd = text.endsWith(u'\n');
    if (FPendingLineEnd) text.chop(1);
    FCursor.insertText(Broken(text));
  }
  // A CR held back at the end of the file ends the last line: nothing to add.

private:
  // The text with a line break put in wherever a line would grow beyond MaxShownLine.
  QString Broken(const QString& text) {
    QString result;
    result.reserve(text.size() + text.size() / MaxShownLine + 1);
    const QStringView view(text);
    qsizetype from = 0;
    while (from < text.size()) {
      qsizetype end = text.indexOf(u'\n', from);
      const bool ended = end >= 0;
      if (!ended) end = text.size();
      for (qsizetype room = MaxShownLine - FColumn; end - from > room; room = MaxShownLine) {
        result += view.mid(from, room);
        result += u'\n';
        from += room;
        FColumn = 0;
      }
      result += view.mid(from, end - from);
      FColumn += end - from;
      if (ended) {
        result += u'\n';
        FColumn = 0;
        ++end;
      }
      from = end;
    }
    return result;
  }

  QTextCursor FCursor;
  qsizetype FColumn = 0;  // characters of the last line shown so far
  bool FPendingCr = false;
  bool FPendingLineEnd = false;
};

}  // namespace

TFrameOneFile::TFrameOneFile(const Tglobals& globals, IDialogs& dialogs, QWidget* parent)
    : QWidget(parent), FGlobals(globals), FDialogs(dialogs) {
  setObjectName("FrameOneFile1");
  edFilename = new QLineEdit(this);
  edFilename->setObjectName("edFilename");
  edFilename->setReadOnly(true);
  edFilename->setEnabled(false);
  fileText = new QPlainTextEdit(this);
  fileText->setObjectName("fileText");
  fileText->setReadOnly(true);
  fileText->setLineWrapMode(QPlainTextEdit::NoWrap);
  fileText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  fileText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  fileText->setUndoRedoEnabled(false);
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  fileText->setFont(fixed);
}

void TFrameOneFile::OpenFile() {
  TFileDialogOptions options;
  options.Title = "Open";
  const auto chosen = FDialogs.OpenFiles(FGlobals.MakeOpenDialogReg(options, "", "DirFiles"));
  if (!chosen || chosen->empty()) return;
  LoadFile(chosen->front());
}

void TFrameOneFile::LoadFile(const std::string& path) {
  edFilename->setText(QString::fromStdString(path));
  // The buffered reader shows compressed content as the text it holds.
  TQelBufferedFile file;
  file.SetFileName(path);
  file.Open(omReadExisting);

  FLoading = true;
  FCancel = false;
  fileText->clear();
  try {
    TTextAppender appender(*fileText);
    QStringDecoder decoder(QStringDecoder::Utf8);
    std::vector<char> buffer(ChunkSize);
    while (!FCancel) {
      const std::int32_t count = file.ReadSome(buffer.data(), ChunkSize);
      if (count == 0) break;
      appender.Add(decoder(QByteArrayView(buffer.data(), count)));
      if (FYield && !file.Eof()) FYield();
    }
  } catch (...) {
    FLoading = false;
    file.Close();
    throw;
  }
  FLoading = false;
  file.Close();
  fileText->moveCursor(QTextCursor::Start);
}

void TFrameOneFile::ClearFile() {
  FCancel = true;
  fileText->clear();
  edFilename->clear();
}

void TFrameOneFile::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FrameResize();
}

void TFrameOneFile::FrameResize() {
  const int nameHeight = edFilename->sizeHint().height();
  edFilename->setGeometry(0, 0, width(), nameHeight);
  fileText->setGeometry(0, nameHeight + 10, width(), std::max(0, height() - nameHeight - 10));
}
