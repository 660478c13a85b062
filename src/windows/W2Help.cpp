#include "windows/W2Help.h"

#include <QFont>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "log/QelNewFile.h"
#include "platform/Dialogs.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
  TQelFile file;
  file.SetFileName(path);
  file.Open(omReadExisting);
  std::string bytes(static_cast<std::size_t>(file.GetSize()), '\0');
  constexpr std::size_t Chunk = 1 << 20;
  for (std::size_t at = 0; at < bytes.size(); at += Chunk)
    file.Read(bytes.data() + at, static_cast<std::int32_t>(std::min(Chunk, bytes.size() - at)));
  file.Close();
  return bytes;
}

}  // namespace

TfrmHelp::TfrmHelp(const std::string& configDir, IDialogs& dialogs, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmHelp"));
  setWindowTitle(QStringLiteral("short guide"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setSizeGripEnabled(true);
  resize(638, 487);

  fileText = new QPlainTextEdit(this);
  fileText->setObjectName(QStringLiteral("fileText"));
  fileText->setReadOnly(true);
  fileText->setLineWrapMode(QPlainTextEdit::NoWrap);
  fileText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  fileText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("Courier New"), 8);
  font.setStyleHint(QFont::TypeWriter);  // any fixed-pitch font where that one is missing
  fileText->setFont(font);
  fileText->setPlainText(QStringLiteral("memoFile"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(fileText);

  try {
    const std::string text = ReadWholeFile(configDir + GuideFile);
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    fileText->setPlainText(shown);
  } catch (const std::exception& e) {
    dialogs.ShowError(e.what());
  }
}

void TfrmHelp::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}
