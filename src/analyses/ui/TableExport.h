#pragma once
// What the grids and the charts share to get their numbers out: rows of cell texts, copied
// to the clipboard tab-separated or saved as a CSV file whose name the user chooses, and a
// widget's picture saved as PNG.
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class IDialogs;

using TTextRow = std::vector<std::string>;
using TTextRows = std::vector<TTextRow>;
// Hands every row, header first, to the function given; a grid of a long log has a row per
// line, so rows are passed on one by one rather than gathered.
using TRowSource = std::function<void(const std::function<void(const TTextRow&)>&)>;

// Tab-separated lines on the clipboard.
void CopyRowsToClipboard(const TRowSource& rows);
// Asks for a file name and saves the rows there as CSV, spreadsheet-safe unless the dialog's
// check box asks for the cells exactly; cancelling saves nothing. Whatever stands at the name, a
// symbolic link included, is replaced (so is it for the PNG).
void ExportRowsAsCsv(IDialogs& dialogs, const TRowSource& rows);
// Asks for a file name and saves the widget as drawn, without its child widgets, as PNG.
void SaveWidgetAsPng(IDialogs& dialogs, QWidget& widget);
