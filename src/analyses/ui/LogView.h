#pragma once
// The raw view's text area: the lines of an indexed log (log/IndexedLog.h), read from the file
// as they come into view, with their numbers in a margin. Only the lines on screen are held,
// so a log of gigabytes takes no more memory than a small one, and the lines of the part
// indexed so far can be shown while the index is still being built.
//
// A column is a byte of the line: a line is read from the column scrolled to and only as far
// as the window shows it, so a line of megabytes scrolls sideways as fast as a short one.
// Valid UTF-8 shows as its characters, other bytes as the replacement character; tabs show as
// a space and other control bytes (NUL ...) as a dot on a tinted cell. The text is drawn as
// plain text, never interpreted as markup.
//
// Selecting: drag with the mouse (Shift+click extends), Ctrl+A; Ctrl+C copies with LF line
// ends, at most CopyLimit bytes. Scrolling: wheel (Shift: sideways), arrow keys, Page Up/Down,
// Ctrl+Home/End, Home/End (sideways), the scroll bars.
#include <QAbstractScrollArea>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TIndexedLog;
class TLineReader;
class TPieceReader;

class TLogView : public QAbstractScrollArea {
  Q_OBJECT
public:
  static constexpr std::int64_t CopyLimit = 64 << 20;

  // A place in the text: a line and the byte of it (a column, from 0).
  struct TPosition {
    std::int64_t Line = 0;
    std::int64_t Column = 0;
    auto operator<=>(const TPosition&) const = default;
  };

  explicit TLogView(QWidget* parent = nullptr);
  ~TLogView() override;

  // The log shown, or none; the view starts at its top with nothing selected.
  void SetLog(std::shared_ptr<TIndexedLog> log);
  // Follows the index as it grows: line count, margin and scroll ranges; repaints when lines
  // came into view. The position stays.
  void Refresh();

  std::int64_t LineCount() const;
  std::int64_t TopLine() const { return FTop; }
  std::int64_t LeftColumn() const { return FColumn; }
  int FullRows() const;
  void ScrollToLine(std::int64_t line);
  void ScrollToColumn(std::int64_t column);
  // Marks the line and shows it in the middle of the window.
  void GoToLine(std::int64_t line);
  std::int64_t CurrentLine() const { return FCurrent; }
  // Start of the line, for searches that begin there; 0 when there is none.
  std::int64_t OffsetOfLine(std::int64_t line);

  // A hit of a search: highlighted and scrolled into view.
  void SetHit(TPosition at, std::int64_t length);
  void ClearHit() { FHitLength = 0; viewport()->update(); }
  std::optional<TPosition> Hit() const;
  std::int64_t HitLength() const { return FHitLength; }

  void SetSelection(TPosition anchor, TPosition end);
  void SelectAll();
  bool HasSelection() const { return FAnchor != FEnd; }
  // The selected text with LF line ends; whole is false when it was cut at CopyLimit.
  QString SelectedText(bool* whole = nullptr);
  // Copies the selection to the clipboard; false when it was cut at CopyLimit.
  bool CopySelection();

  // A line's text from column 0 as the view shows it (at most maxBytes of it).
  QString LineText(std::int64_t line, int maxBytes = 4096);
  // The lines on screen as drawn, one per row.
  QStringList ShownTexts();

signals:
  // Reading the file failed while drawing; the text names the file.
  void ReadFailed(const QString& message);
  // A read came back shorter than the index: the file was cut while shown. Once per log.
  void FileCut();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  // A line on screen: the bytes from the view's column on, decoded.
  struct TShownLine {
    std::int64_t Number = 0;
    std::int64_t Length = 0;
    std::int64_t From = 0;              // column of the first byte decoded
    QString Text;
    std::vector<std::int64_t> Column;   // of each character of Text, and one for its end
    std::vector<int> Controls;          // characters standing for control bytes
  };

  void Measure();
  void Layout();
  void Invalidate() { FLaidOut = false; viewport()->update(); }
  void UpdateRanges();
  void ScrollBy(std::int64_t lines);
  std::int64_t MaxTop() const;
  int TextLeft() const { return FMarginWidth + static_cast<int>(FCharWidth / 2); }
  int Columns() const;
  TPosition PositionAt(const QPoint& point);
  // Characters [from, to) of a shown line that lie within the columns [begin, end).
  static std::pair<int, int> CharRange(const TShownLine& line, std::int64_t begin, std::int64_t end);
  void PaintLine(QPainter& painter, const TShownLine& line, int y);
  void Fail(const std::exception& error);
  static TShownLine Decode(std::int64_t number, std::int64_t length, std::int64_t from, const std::string& bytes);

  std::shared_ptr<TIndexedLog> FLog;
  std::unique_ptr<TPieceReader> FPieces;
  std::unique_ptr<TLineReader> FReader;

  std::int64_t FTop = 0;
  std::int64_t FColumn = 0;
  std::int64_t FCurrent = -1;
  std::int64_t FScale = 1;         // lines per step of the vertical scroll bar
  bool FSyncingBars = false;
  TPosition FAnchor, FEnd;         // selection
  TPosition FHit;
  std::int64_t FHitLength = 0;
  bool FSelecting = false;
  QPoint FWheel;                   // wheel turns not scrolled yet (of a touch pad)

  int FLineHeight = 1;
  double FCharWidth = 1;
  int FAscent = 0;
  int FMarginWidth = 0;
  std::int64_t FKnownLines = -1;   // what the layout was made for
  std::int64_t FKnownEnd = -1;
  bool FLaidOut = false;
  bool FFailed = false;            // one error box per failure, not one per repaint
  bool FCutReported = false;
  std::vector<TShownLine> FShown;
};
