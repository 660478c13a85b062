#include "platform/ui/QtDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "platform/ui/QtVisibleText.h"

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string ToUtf8(const QString& text) { return text.toStdString(); }

QMessageBox::Icon IconOf(TQtDialogs::TBoxKind kind) {
  using K = TQtDialogs::TBoxKind;
  switch (kind) {
    case K::Warning: return QMessageBox::Warning;
    case K::Information: return QMessageBox::Information;
    case K::Error: return QMessageBox::Critical;
    case K::Confirm:
    case K::YesNo:
    case K::YesNoCancel: return QMessageBox::Question;
    case K::Message: break;
  }
  return QMessageBox::NoIcon;
}

// Patterns of one filter entry in Qt's form: "*.a;*.b" -> "*.a *.b"; none means every file.
QString QtPatterns(const QString& patterns) {
  QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (QString& part : parts) part = part.trimmed();
  parts.removeAll(QString());
  return parts.isEmpty() ? QStringLiteral("*") : parts.join(QLatin1Char(' '));
}

// Qt filters by the last parenthesised part of an entry, so the real patterns go there,
// unless the description already ends with them.
QString QtFilterEntry(const QString& description, const QString& patterns) {
  const QString qtPatterns = QtPatterns(patterns);
  const QString desc = description.trimmed();
  const qsizetype open = desc.lastIndexOf(QLatin1Char('('));
  if (open >= 0 && desc.endsWith(QLatin1Char(')'))) {
    const QString shown = QtPatterns(desc.mid(open + 1, desc.size() - open - 2).replace(QLatin1Char(' '), QLatin1Char(';')));
    if (shown == qtPatterns) return desc.left(open) + QLatin1Char('(') + qtPatterns + QLatin1Char(')');
  }
  if (desc.isEmpty()) return qtPatterns;
  return desc + QStringLiteral(" (") + qtPatterns + QLatin1Char(')');
}

}  // namespace

TQtDialogs::TQtDialogs(QWidget* parent) : FParent(parent) {}

void TQtDialogs::ShowWarning(const std::string& text) { Ask(TBoxKind::Warning, text); }
void TQtDialogs::ShowMessage(const std::string& text) { Ask(TBoxKind::Message, text); }
void TQtDialogs::ShowInformation(const std::string& text) { Ask(TBoxKind::Information, text); }
void TQtDialogs::ShowError(const std::string& text) { Ask(TBoxKind::Error, text); }
bool TQtDialogs::Confirm(const std::string& text) { return Ask(TBoxKind::Confirm, text) == TAnswer::Yes; }
bool TQtDialogs::AskYesNo(const std::string& text) { return Ask(TBoxKind::YesNo, text) == TAnswer::Yes; }
TAnswer TQtDialogs::AskYesNoCancel(const std::string& text) { return Ask(TBoxKind::YesNoCancel, text); }

TAnswer TQtDialogs::Ask(TBoxKind kind, const std::string& text) {
  auto box = MakeBox(kind, ShowControlsKeepingLines(FromUtf8(text)), FParent);
  box->exec();
  return AnswerOf(*box);
}

std::unique_ptr<QMessageBox> TQtDialogs::MakeBox(TBoxKind kind, const QString& text, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(IconOf(kind), QGuiApplication::applicationDisplayName(), text,
                                           QMessageBox::NoButton, parent);
  box->setTextFormat(Qt::PlainText);
  QPushButton* defaultButton = nullptr;
  QPushButton* escapeButton = nullptr;
  switch (kind) {
    case TBoxKind::Confirm:
      defaultButton = box->addButton(QMessageBox::Ok);
      escapeButton = box->addButton(QMessageBox::Cancel);
      break;
    case TBoxKind::YesNo:
      defaultButton = box->addButton(QMessageBox::Yes);
      escapeButton = box->addButton(QMessageBox::No);
      break;
    case TBoxKind::YesNoCancel:
      defaultButton = box->addButton(QMessageBox::Yes);
      box->addButton(QMessageBox::No);
      escapeButton = box->addButton(QMessageBox::Cancel);
      break;
    default:
      defaultButton = escapeButton = box->addButton(QMessageBox::Ok);
      break;
  }
  box->setDefaultButton(defaultButton);
  box->setEscapeButton(escapeButton);
  return box;
}

TAnswer TQtDialogs::AnswerOf(const QMessageBox& box) {
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == nullptr) clicked = box.escapeButton();
  switch (box.standardButton(clicked)) {
    case QMessageBox::Ok:
    case QMessageBox::Yes: return TAnswer::Yes;
    case QMessageBox::No: return TAnswer::No;
    default: return TAnswer::Cancel;
  }
}

std::string TQtDialogs::InputBox(const std::string& caption, const std::string& prompt, const std::string& text) {
  auto box = MakeInputBox(FromUtf8(caption), FromUtf8(prompt), FromUtf8(text), FParent);
  if (box->exec() != QDialog::Accepted) return text;
  return ToUtf8(box->textValue());
}

std::unique_ptr<QInputDialog> TQtDialogs::MakeInputBox(const QString& caption, const QString& prompt,
                                                       const QString& text, QWidget* parent) {
  auto box = std::make_unique<QInputDialog>(parent);
  box->setInputMode(QInputDialog::TextInput);
  box->setWindowTitle(caption);
  box->setLabelText(prompt);
  box->setTextValue(text);
  for (QLabel* label : box->findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  return box;
}

std::optional<std::vector<std::string>> TQtDialogs::OpenFiles(const TFileDialogOptions& options) {
  QFileDialog dialog(FParent);
  SetUpFileDialog(dialog, options, false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> files;
  for (const QString& file : dialog.selectedFiles()) files.push_back(ToUtf8(file));
  if (files.empty()) return std::nullopt;
  return files;
}

std::optional<std::string> TQtDialogs::SaveFile(const TFileDialogOptions& options) {
  QFileDialog dialog(FParent);
  SetUpFileDialog(dialog, options, true);
  QCheckBox* check = nullptr;
  if (!options.CheckText.empty() && options.Checked) {
    // Qt's own dialog has a grid layout that takes one more row; a native one has none.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      check = new QCheckBox(FromUtf8(options.CheckText), &dialog);
      check->setObjectName("chkSaveOption");
      check->setChecked(*options.Checked);
      grid->addWidget(check, grid->rowCount(), 0, 1, grid->columnCount());
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  if (check) *options.Checked = check->isChecked();
  return ToUtf8(dialog.selectedFiles().constFirst());
}

QString TQtDialogs::ConvertFilter(const std::string& filter) {
  if (filter.empty()) return {};
  const QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i < parts.size(); i += 2)
    entries << QtFilterEntry(parts[i], i + 1 < parts.size() ? parts[i + 1] : QString());
  return entries.join(QStringLiteral(";;"));
}

void TQtDialogs::SetUpFileDialog(QFileDialog& dialog, const TFileDialogOptions& options, bool save) {
  if (!options.Title.empty()) dialog.setWindowTitle(FromUtf8(options.Title));
  if (!options.Folder.empty()) dialog.setDirectory(FromUtf8(options.Folder));
  const QString filter = ConvertFilter(options.Filter);
  if (!filter.isEmpty()) dialog.setNameFilter(filter);
  QString suffix = FromUtf8(options.DefaultExtension);
  while (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.MultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  }
}
