#include "analyses/ui/TableExport.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <stdexcept>

#include "base/ReplaceFile.h"
#include "config/CsvWriter.h"
#include "platform/Dialogs.h"

namespace {

std::optional<std::string> AskFile(IDialogs& dialogs, const char* title, const char* filter, const char* extension,
                                   bool* exactCells = nullptr) {
  TFileDialogOptions options;
  options.Title = title;
  options.Filter = filter;
  options.DefaultExtension = extension;
  options.OverwritePrompt = true;
  if (exactCells) {
    options.CheckText = "Keep cells exactly (no ' before a cell that begins with = + - @)";
    options.Checked = exactCells;
  }
  return dialogs.SaveFile(options);
}

}  // namespace

void CopyRowsToClipboard(const TRowSource& rows) {
  std::string text;
  rows([&text](const TTextRow& row) { text += TabSeparatedLine(row); });
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void ExportRowsAsCsv(IDialogs& dialogs, const TRowSource& rows) {
  bool exact = false;  // spreadsheet-safe unless the user asks
  const auto path = AskFile(dialogs, "Export as CSV", "CSV files (*.csv)|*.csv", ".csv", &exact);
  if (!path) return;
  TCsvWriter csv(exact ? TCsvCells::Exact : TCsvCells::SpreadsheetSafe);
  rows([&csv](const TTextRow& row) { csv.AddRow(row); });
  csv.SaveToFile(*path);
}

void SaveWidgetAsPng(IDialogs& dialogs, QWidget& widget) {
  const auto path = AskFile(dialogs, "Save as PNG", "PNG images (*.png)|*.png", ".png");
  if (!path) return;
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  widget.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw std::runtime_error("cannot write file \"" + *path + "\": the picture could not be made");
  ReplaceFileContents(*path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), TLinkRule::ReplaceLink);
}
