#include "analyses/ui/LogView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <climits>
#include <exception>
#include <string_view>

#include "base/Utf8Text.h"
#include "log/IndexedLog.h"
#include "log/LineReader.h"

namespace {

// Scroll bars count in int: beyond this many lines a step of the bar is several lines.
constexpr std::int64_t MaxBarRange = 1 << 30;
constexpr char16_t ControlMark = u'\u00b7';
constexpr char16_t Replacement = u'\ufffd';
const QColor CurrentLineColor(232, 242, 254);
const QColor SelectionColor(173, 214, 255);
const QColor HitColor(255, 200, 60);
const QColor ControlColor(255, 224, 224);
const QColor MarginColor(240, 240, 240);
const QColor NumberColor(120, 120, 120);

int Digits(std::int64_t n) {
  int digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

// The bytes with every CR LF and lone CR as LF.
std::string WithLF(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      text += bytes[i];
    } else {
      text += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
  }
  return text;
}

char32_t CodePoint(const unsigned char* bytes, std::size_t length) {
  static constexpr unsigned char Lead[] = {0, 0x7f, 0x1f, 0x0f, 0x07};
  char32_t code = bytes[0] & Lead[length];
  for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (bytes[i] & 0x3f);
  return code;
}

}  // namespace

TLogView::TLogView(QWidget* parent) : QAbstractScrollArea(parent) {
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  setFont(fixed);
  Measure();
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setCursor(Qt::IBeamCursor);
  UpdateRanges();
}

TLogView::~TLogView() = default;

void TLogView::Measure() {
  const QFontMetricsF metrics(font());
  FLineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
  // The advance of a character as a line lays it out, fractions included: a rounded one
  // would put highlights a cell off after some dozens of characters.
  const int sample = 100;
  FCharWidth = std::max(1.0, metrics.horizontalAdvance(QString(sample, QLatin1Char('0'))) / sample);
  FAscent = static_cast<int>(std::lround(metrics.ascent()));
}

void TLogView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() != QEvent::FontChange) return;
  Measure();
  FMarginWidth = 0;
  UpdateRanges();
  Invalidate();
}

void TLogView::SetLog(std::shared_ptr<TIndexedLog> log) {
  FReader.reset();
  FPieces.reset();
  FLog = std::move(log);
  if (FLog) {
    FPieces = FLog->NewReader();
    FReader = std::make_unique<TLineReader>(FLog->Index(), *FPieces);
  }
  FTop = FColumn = 0;
  FCurrent = -1;
  FAnchor = FEnd = {};
  FHitLength = 0;
  FFailed = FCutReported = false;
  FKnownLines = FKnownEnd = -1;
  Refresh();
  Invalidate();
}

std::int64_t TLogView::LineCount() const { return FLog ? FLog->Index().LineCount() : 0; }

void TLogView::Refresh() {
  const std::int64_t lines = LineCount();
  const std::int64_t end = FLog ? FLog->Index().TextEnd() : 0;
  if (lines == FKnownLines && end == FKnownEnd) return;
  // Lines coming in matter to the picture only while the text's end is on screen.
  const bool endShown = FKnownLines < 0 || FKnownLines <= FTop + FullRows() + 1;
  FKnownLines = lines;
  FKnownEnd = end;
  UpdateRanges();
  if (endShown) Invalidate();
}

int TLogView::FullRows() const { return std::max(1, viewport()->height() / FLineHeight); }

int TLogView::Columns() const { return std::max(1, static_cast<int>((viewport()->width() - TextLeft()) / FCharWidth)); }

std::int64_t TLogView::MaxTop() const { return std::max<std::int64_t>(0, LineCount() - FullRows()); }

void TLogView::UpdateRanges() {
  const auto margin = static_cast<int>(std::ceil(FCharWidth * (Digits(std::max<std::int64_t>(LineCount(), 1)) + 1)));
  if (margin != FMarginWidth) {
    FMarginWidth = margin;
    Invalidate();
  }
  const std::int64_t maxTop = MaxTop();
  FScale = std::max<std::int64_t>(1, (maxTop + MaxBarRange - 1) / MaxBarRange);
  FTop = std::clamp<std::int64_t>(FTop, 0, maxTop);
  const std::int64_t longest = FLog ? FLog->Index().LongestLine() : 0;
  const auto maxColumn = static_cast<int>(std::clamp<std::int64_t>(longest - Columns() + 2, 0, INT_MAX));
  FColumn = std::clamp<std::int64_t>(FColumn, 0, maxColumn);
  FSyncingBars = true;
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, static_cast<int>(maxTop / FScale));
  bar->setPageStep(static_cast<int>(std::max<std::int64_t>(1, FullRows() / FScale)));
  bar->setValue(static_cast<int>(FTop / FScale));
  bar = horizontalScrollBar();
  bar->setRange(0, maxColumn);
  bar->setPageStep(Columns());
  bar->setValue(static_cast<int>(FColumn));
  FSyncingBars = false;
}

void TLogView::scrollContentsBy(int dx, int dy) {
  if (FSyncingBars) return;
  if (dy != 0) {
    const QScrollBar* bar = verticalScrollBar();
    FTop = bar->value() == bar->maximum() ? MaxTop() : bar->value() * FScale;
  }
  if (dx != 0) FColumn = horizontalScrollBar()->value();
  Invalidate();
}

void TLogView::ScrollToLine(std::int64_t line) {
  FTop = std::clamp<std::int64_t>(line, 0, MaxTop());
  UpdateRanges();
  Invalidate();
}

void TLogView::ScrollBy(std::int64_t lines) { ScrollToLine(FTop + lines); }

void TLogView::ScrollToColumn(std::int64_t column) {
  FColumn = std::clamp<std::int64_t>(column, 0, horizontalScrollBar()->maximum());
  UpdateRanges();
  Invalidate();
}

void TLogView::GoToLine(std::int64_t line) {
  if (LineCount() == 0) return;
  FCurrent = std::clamp<std::int64_t>(line, 0, LineCount() - 1);
  ScrollToLine(FCurrent - FullRows() / 2);
  ScrollToColumn(0);
}

std::int64_t TLogView::OffsetOfLine(std::int64_t line) {
  if (!FReader) return 0;
  const auto lines = FReader->Lines(line, 1);
  return lines.empty() ? FLog->Index().TextEnd() : lines[0].Start;
}

void TLogView::SetHit(TPosition at, std::int64_t length) {
  FHit = at;
  FHitLength = length;
  if (at.Line < FTop || at.Line >= FTop + FullRows()) ScrollToLine(at.Line - FullRows() / 2);
  if (at.Column < FColumn || at.Column + length > FColumn + Columns()) ScrollToColumn(at.Column - Columns() / 4);
  Invalidate();
}

std::optional<TLogView::TPosition> TLogView::Hit() const {
  if (FHitLength == 0) return std::nullopt;
  return FHit;
}

void TLogView::SetSelection(TPosition anchor, TPosition end) {
  FAnchor = anchor;
  FEnd = end;
  viewport()->update();
}

void TLogView::SelectAll() {
  if (!FReader || LineCount() == 0) return;
  const auto last = FReader->Lines(LineCount() - 1, 1);
  if (!last.empty()) SetSelection({0, 0}, {last[0].Number, last[0].Length});
}

QString TLogView::SelectedText(bool* whole) {
  if (whole != nullptr) *whole = true;
  if (!FReader || !HasSelection()) return {};
  const auto [a, b] = std::minmax(FAnchor, FEnd);
  const auto first = FReader->Lines(a.Line, 1), last = FReader->Lines(b.Line, 1);
  if (first.empty() || last.empty()) return {};
  const std::int64_t from = first[0].Start + std::min(a.Column, first[0].Length);
  const std::int64_t to = last[0].Start + std::min(b.Column, last[0].Length);
  if (whole != nullptr) *whole = to - from <= CopyLimit;
  const std::string bytes = FReader->Bytes(from, static_cast<std::size_t>(std::clamp<std::int64_t>(to - from, 0, CopyLimit)));
  return QString::fromUtf8(WithLF(bytes));
}

bool TLogView::CopySelection() {
  bool whole = true;
  const QString text = SelectedText(&whole);
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
  return whole;
}

QString TLogView::LineText(std::int64_t line, int maxBytes) {
  if (!FReader) return {};
  const auto lines = FReader->Lines(line, 1);
  if (lines.empty()) return {};
  const auto count = static_cast<std::size_t>(std::min<std::int64_t>(lines[0].Length, maxBytes));
  return Decode(line, lines[0].Length, 0, FReader->Bytes(lines[0].Start, count)).Text;
}

QStringList TLogView::ShownTexts() {
  Layout();
  QStringList texts;
  for (const TShownLine& line : FShown) texts << line.Text;
  return texts;
}

// The lines on screen, read anew after every move, resize or change of the text.
void TLogView::Layout() {
  if (FLaidOut) return;
  FLaidOut = true;
  FShown.clear();
  if (!FReader || FFailed) return;
  try {
    // A character can take four bytes; more than that the window cannot show.
    const auto bytesShown = static_cast<std::int64_t>(Columns() + 2) * 4;
    for (const TTextLine& line : FReader->Lines(FTop, FullRows() + 1)) {
      const std::int64_t from = std::min(FColumn, line.Length);
      const auto count = static_cast<std::size_t>(std::min(line.Length - from, bytesShown));
      FShown.push_back(Decode(line.Number, line.Length, from, FReader->Bytes(line.Start + from, count)));
    }
  } catch (const std::exception& error) {
    FShown.clear();
    Fail(error);
  }
  if (FReader->Cut() && !FCutReported) {
    FCutReported = true;
    emit FileCut();
  }
}

void TLogView::Fail(const std::exception& error) {
  FFailed = true;
  emit ReadFailed(QString::fromStdString(error.what()));
}

TLogView::TShownLine TLogView::Decode(std::int64_t number, std::int64_t length, std::int64_t from, const std::string& bytes) {
  TShownLine line;
  line.Number = number;
  line.Length = length;
  line.From = from;
  line.Text.reserve(static_cast<qsizetype>(bytes.size()));
  line.Column.reserve(bytes.size() + 1);
  const std::string_view text(bytes);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  // Scrolled into the middle of a character: it starts at the next one.
  while (from > 0 && i < 3 && i < bytes.size() && (data[i] & 0xc0) == 0x80) ++i;
  while (i < bytes.size()) {
    const unsigned char byte = data[i];
    const std::int64_t column = from + static_cast<std::int64_t>(i);
    line.Column.push_back(column);
    if (byte < 0x80) {
      if (byte == '\t') {
        line.Text += QLatin1Char(' ');
      } else if (byte < 0x20 || byte == 0x7f) {
        line.Controls.push_back(static_cast<int>(line.Text.size()));
        line.Text += QChar(ControlMark);
      } else {
        line.Text += QLatin1Char(static_cast<char>(byte));
      }
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {
      line.Text += QChar(Replacement);
      ++i;
      continue;
    }
    const char32_t code = CodePoint(data + i, length);
    if (QChar::requiresSurrogates(code)) {
      line.Text += QChar(QChar::highSurrogate(code));
      line.Text += QChar(QChar::lowSurrogate(code));
      line.Column.push_back(column);
    } else {
      line.Text += QChar(static_cast<char16_t>(code));
    }
    i += length;
  }
  line.Column.push_back(from + static_cast<std::int64_t>(bytes.size()));
  return line;
}

std::pair<int, int> TLogView::CharRange(const TShownLine& line, std::int64_t begin, std::int64_t end) {
  const auto last = line.Column.end() - 1;
  const auto from = std::lower_bound(line.Column.begin(), last, begin) - line.Column.begin();
  const auto to = std::lower_bound(line.Column.begin(), last, end) - line.Column.begin();
  return {static_cast<int>(from), static_cast<int>(to)};
}

void TLogView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QRect area = viewport()->rect();
  painter.fillRect(area, palette().base());
  Layout();
  painter.save();
  painter.setClipRect(QRect(FMarginWidth, 0, area.width() - FMarginWidth, area.height()));
  int y = 0;
  for (const TShownLine& line : FShown) {
    PaintLine(painter, line, y);
    y += FLineHeight;
  }
  painter.restore();

  painter.fillRect(QRect(0, 0, FMarginWidth, area.height()), MarginColor);
  QFont bold = font();
  bold.setBold(true);
  y = 0;
  for (const TShownLine& line : FShown) {
    painter.setFont(line.Number == FCurrent ? bold : font());
    painter.setPen(line.Number == FCurrent ? palette().text().color() : NumberColor);
    painter.drawText(QRectF(0, y, FMarginWidth - FCharWidth / 2, FLineHeight), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(line.Number + 1));
    y += FLineHeight;
  }
}

void TLogView::PaintLine(QPainter& painter, const TShownLine& line, int y) {
  const int left = TextLeft();
  auto cells = [&](int from, int to, const QColor& colour, int extra = 0) {
    if (to + extra > from) painter.fillRect(QRectF(left + from * FCharWidth, y, (to - from + extra) * FCharWidth, FLineHeight), colour);
  };
  if (line.Number == FCurrent) painter.fillRect(QRect(FMarginWidth, y, viewport()->width(), FLineHeight), CurrentLineColor);
  for (const int control : line.Controls) cells(control, control + 1, ControlColor);
  if (HasSelection()) {
    const auto [a, b] = std::minmax(FAnchor, FEnd);
    if (line.Number >= a.Line && line.Number <= b.Line) {
      const std::int64_t begin = line.Number == a.Line ? a.Column : 0;
      const std::int64_t end = line.Number == b.Line ? b.Column : INT64_MAX;
      const auto [from, to] = CharRange(line, begin, end);
      // A selection that goes on below takes the line end too: one cell behind the text.
      const bool lineEnd = line.Number < b.Line && line.Column.back() >= line.Length;
      cells(from, to, SelectionColor, lineEnd ? 1 : 0);
    }
  }
  if (FHitLength > 0 && line.Number == FHit.Line) {
    const auto [from, to] = CharRange(line, FHit.Column, FHit.Column + FHitLength);
    cells(from, to, HitColor);
  }
  painter.setPen(palette().text().color());
  painter.drawText(QPointF(left, y + FAscent), line.Text);
}

TLogView::TPosition TLogView::PositionAt(const QPoint& point) {
  const std::int64_t lines = LineCount();
  if (!FReader || lines == 0) return {};
  const int row = point.y() >= 0 ? point.y() / FLineHeight : -1 - (-point.y() - 1) / FLineHeight;
  const std::int64_t number = std::clamp<std::int64_t>(FTop + row, 0, lines - 1);
  const auto cell = static_cast<std::int64_t>(std::lround((point.x() - TextLeft()) / FCharWidth));
  Layout();
  for (const TShownLine& line : FShown) {
    if (line.Number != number) continue;
    const auto k = static_cast<std::size_t>(std::clamp<std::int64_t>(cell, 0, static_cast<std::int64_t>(line.Text.size())));
    return {number, line.Column[k]};
  }
  // Off screen (a drag beyond the window's edge): the columns are counted from the view's.
  const auto off = FReader->Lines(number, 1);
  const std::int64_t length = off.empty() ? 0 : off[0].Length;
  return {number, std::clamp<std::int64_t>(FColumn + cell, 0, length)};
}

void TLogView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  const TPosition at = PositionAt(event->position().toPoint());
  if (!(event->modifiers() & Qt::ShiftModifier)) FAnchor = at;
  FEnd = at;
  FSelecting = true;
  viewport()->update();
}

void TLogView::mouseMoveEvent(QMouseEvent* event) {
  if (!FSelecting) return QAbstractScrollArea::mouseMoveEvent(event);
  const QPoint at = event->position().toPoint();
  if (at.y() < 0) ScrollBy(-1);
  else if (at.y() >= viewport()->height()) ScrollBy(1);
  if (at.x() < FMarginWidth && FColumn > 0) ScrollToColumn(FColumn - 1);
  else if (at.x() >= viewport()->width()) ScrollToColumn(FColumn + 1);
  FEnd = PositionAt(at);
  viewport()->update();
}

void TLogView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FSelecting = false;
  QAbstractScrollArea::mouseReleaseEvent(event);
}

void TLogView::wheelEvent(QWheelEvent* event) {
  QPoint delta = event->angleDelta();
  if (event->modifiers() & Qt::ShiftModifier) delta = QPoint(delta.y() != 0 ? delta.y() : delta.x(), 0);
  FWheel += delta;
  const int rows = FWheel.y() / 120, columns = FWheel.x() / 120;
  FWheel -= QPoint(columns * 120, rows * 120);
  if (rows != 0) ScrollBy(-static_cast<std::int64_t>(rows) * QApplication::wheelScrollLines());
  if (columns != 0) ScrollToColumn(FColumn - static_cast<std::int64_t>(columns) * 8);
  event->accept();
}

void TLogView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  const bool control = event->modifiers() & Qt::ControlModifier;
  const std::int64_t page = std::max(1, FullRows() - 1);
  switch (event->key()) {
    case Qt::Key_Up: ScrollBy(-1); break;
    case Qt::Key_Down: ScrollBy(1); break;
    case Qt::Key_PageUp: ScrollBy(-page); break;
    case Qt::Key_PageDown: ScrollBy(page); break;
    case Qt::Key_Home: control ? ScrollToLine(0) : ScrollToColumn(0); break;
    case Qt::Key_End: control ? ScrollToLine(MaxTop()) : ScrollToColumn(horizontalScrollBar()->maximum()); break;
    case Qt::Key_Left: ScrollToColumn(FColumn - (control ? Columns() : 1)); break;
    case Qt::Key_Right: ScrollToColumn(FColumn + (control ? Columns() : 1)); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

void TLogView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateRanges();
  Invalidate();
}
