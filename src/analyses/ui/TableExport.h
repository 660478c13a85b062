#pragma once
// What the grids and the charts share to get their numbers out: rows of cell texts, copied
// to the clipboard tab-separated or saved as a CSV file whose name the user chooses, and a
// widget's picture saved as PNG.
#include <QWidget>

#include <string>
#include <vector>

class IDialogs;

using TTextRows = std::vector<std::vector<std::string>>;

// Tab-separated lines on the clipboard.
void CopyRowsToClipboard(const TTextRows& rows);
// Asks for a file name and saves the rows there as CSV; cancelling saves nothing.
void ExportRowsAsCsv(IDialogs& dialogs, const TTextRows& rows);
// Asks for a file name and saves the widget as drawn, without its child widgets, as PNG.
void SaveWidgetAsPng(IDialogs& dialogs, QWidget& widget);
