#include "run/AnalysisRun.h"

#include "base/TextFunctions.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "platform/Dialogs.h"
#include "platform/RunHost.h"

namespace {

constexpr std::uint64_t YieldIntervalMs = 500;
constexpr std::int64_t TickInterval = 16;
// Log files are read through a larger window than the default; lines stay limited to 4000.
constexpr std::int32_t LogBufferSize = 256 * 1024;
// Logs are seen through mappings of this size rather than copied: that halves the cost of
// reading them, and a few megabytes make mapping costs small.
constexpr std::int32_t LogMapWindow = 4 * 1024 * 1024;

std::string MissingFilesText(const std::vector<std::string>& missing) {
  std::string text = "This file(s) couldn't be found : ";
  for (std::size_t i = 0; i < missing.size(); ++i) {
    if (i > 0) text += ',';
    text += '"' + missing[i] + " \"";
  }
  return text;
}

std::string SkippedLinesText(const TSkippedLines& skipped) {
  return std::to_string(skipped.Count) + " line(s) could not be read and were skipped; the first was line " +
         std::to_string(skipped.FirstLine) + " of " + skipped.FirstFile + ".";
}

}  // namespace

namespace {

// The reader's errors name their file already ('file "x"', 'file x'): the run adds the line.
std::string RunErrorText(const std::string& message, const std::string& file, std::int64_t line) {
  const bool named = message.find("file \"" + file + "\"") != std::string::npos ||
                     message.find("file " + file) != std::string::npos;
  const std::string where = named ? "" : "file \"" + file + "\", ";
  return message + " (" + where + "line " + std::to_string(line) + ")";
}

// A replacement row is named by its place in the file, its header line not counted.
std::string StoppedRowText(const Tglobals& globals, std::size_t row) {
  const TReplaceRow& r = globals.ReplaceRows()[row];
  return "row " + std::to_string(row + 1) + " of the replacement table " + globals.ConfigDir() + "replace.lac ('" +
         r.Search + "' -> '" + r.Replace + "') was left out for some referrers: its replacements would not end or "
         "would make a referrer more than " + std::to_string(MaxReplacementGrowth) + " bytes longer";
}

}  // namespace

ERunError::ERunError(const std::string& message, std::string file, std::int64_t line)
    : std::runtime_error(RunErrorText(message, file, line)),
      FOriginal(message),
      FFile(std::move(file)),
      FLine(line) {}

TAnalysisRun::TAnalysisRun(const Tglobals& globals, IDialogs& dialogs, IRunHost& host)
    : FGlobals(globals), FDialogs(dialogs), FHost(host) {}

bool TAnalysisRun::ReadNextLine(TQelBufferedFile& reader, TDSearchPattern& parser, std::string& line) {
  for (;;) {
    if (reader.Eof()) return false;
    try {
      parser.ReadLogLine(reader, line, FPhysicalLine);
      return !line.empty();  // empty: the file ended on comment or blank lines
    } catch (const EUnreadableContentError&) {
      throw;  // no line to step over
    } catch (const EQelFileError&) {
      // Pass over NUL bytes (they hold no line end and so exceed the line length); the
      // byte that ends the skipping is dropped with them.
      std::string byte;
      do {
        reader.ReadString(byte, 1);
      } while (byte[0] == '\0' && !reader.Eof());
      if (reader.Eof()) return false;
      if (!ReadOrSkipLine(reader, line)) continue;
      ++FPhysicalLine;
      // A recovered rest that is empty or a comment is no log line: read on.
      if (!line.empty() && line[0] != '#') return true;
    }
  }
}

// The rest of a line after the recovery; a tolerant run steps over it when it is still too long.
bool TAnalysisRun::ReadOrSkipLine(TQelBufferedFile& reader, std::string& line) {
  if (!FSkipBadLines) {
    reader.ReadLine(line);
    return true;
  }
  try {
    reader.ReadLine(line);
    return true;
  } catch (const EUnreadableContentError&) {
    throw;
  } catch (const EQelFileError&) {
    reader.SkipLine();
    NoteSkipped(reader.FileName(), ++FPhysicalLine);
    return false;
  }
}

bool TAnalysisRun::LineReadable(const std::string& line, TDSearchPattern& parser, const std::string& path) {
  if (!FLineCheck) return true;
  try {
    FLineCheck(line, parser);
    return true;
  } catch (const EFieldMissingError&) {
  } catch (const EConvertError&) {
  }
  NoteSkipped(path, FPhysicalLine);
  return false;
}

void TAnalysisRun::NoteSkipped(const std::string& path, std::int64_t line) {
  if (FSkipped.Count++ == 0) {
    FSkipped.FirstFile = path;
    FSkipped.FirstLine = line;
  }
}

// Lines seen in the reader's buffer are judged as the parser judges them: blank lines and
// comments are no log lines. A line the reader refuses takes ReadNextLine, with its recovery.
void TAnalysisRun::CountLogLines(TQelBufferedFile& reader, TDSearchPattern& parser, std::string& line,
                                 std::int64_t& count) {
  std::string_view view;
  while (!reader.Eof()) {
    const TQelBufferedFile::TLineTally tally = reader.CountBufferedLines('#');
    FPhysicalLine += tally.Lines;
    count += tally.Kept;
    if (reader.Eof()) break;
    if (reader.TryReadLineView(view)) {
      ++FPhysicalLine;
      if (!view.empty() && view[0] != '#') ++count;
    } else if (ReadNextLine(reader, parser, line)) {
      ++count;
    }
  }
}

bool TAnalysisRun::RunAnalysis(const std::vector<TLineHandler>& handlers, std::int64_t& lineCount,
                               const std::vector<std::string>& files) {
  FStop = false;
  FMissing.clear();
  FWarnings.clear();
  FSkipped = TSkippedLines();
  FProcessed = 0;
  FRefused = 0;
  FLeftOut = 0;
  lineCount = 0;
  TDSearchPattern parser(FGlobals, FGlobals.ConfigDir());
  if (!parser.SelectLogType(files)) {
    FDialogs.ShowWarning("No configuration file found which suits your log file(s)!");
    FHost.SetProgressPosition(0);
    return false;
  }

  TQelBufferedFile reader;
  reader.BufferSize = LogBufferSize;
  reader.MapWindow = LogMapWindow;
  std::string line;
  line.reserve(4096);

  // Pass 1: count the lines, so that the progress bar shows a true fraction.
  for (const auto& path : files) {
    reader.SetFileName(path);
    if (reader.Exists()) {
      FPhysicalLine = 0;
      reader.Open(omReadExisting);  // its error names the file; no line is read yet
      try {
        CountLogLines(reader, parser, line, lineCount);
      } catch (const ERunError&) {
        throw;
      } catch (const std::exception& e) {
        throw ERunError(e.what(), path, FPhysicalLine + 1);
      }
      reader.Close();
    }
    if (FStop) break;
  }

  FHost.SetProgressRange(0, lineCount);
  FHost.SetProgressPosition(0);
  // Both passes step over the same over-long lines; the user hears of them once.
  FSkipped = TSkippedLines();
  FRefused = 0;

  // Pass 2: every line to every handler, in array order.
  std::uint64_t lastYield = 0;
  for (const auto& path : files) {
    reader.SetFileName(path);
    if (!reader.Exists()) {
      FMissing.push_back(path);
    } else {
      FPhysicalLine = 0;
      bool reading = true;
      reader.Open(omReadExisting);
      try {
        while (!FStop) {
          reading = true;
          if (!ReadNextLine(reader, parser, line)) break;
          reading = false;
          parser.BeginLine(&line);
          // Lines refused or left out are counted on below all the same: they move the progress bar.
          if (FSkipBadLines && !LineReadable(line, parser, path)) {
            ++FRefused;
          } else if (FLineFilter && !FLineFilter(line, parser)) {
            ++FLeftOut;
          } else {
            for (const auto& handler : handlers) {
              handler(line, parser);
              if (FStop) break;
            }
          }
          ++FProcessed;
          // The clock is read on the first line and every few lines after it only: reading it
          // costs about as much as a short handler.
          if ((FProcessed - 1) % TickInterval != 0) continue;
          const std::uint64_t now = FHost.TickCount();
          if (now - lastYield > YieldIntervalMs) {
            lastYield = now;
            FHost.ProcessPendingEvents();
            FHost.SetProgressPosition(FProcessed);
          }
        }
      } catch (const ERunError&) {
        throw;
      } catch (const std::exception& e) {
        // A reader error happened on the line after the last one read.
        throw ERunError(e.what(), path, FPhysicalLine + (reading ? 1 : 0));
      }
      reader.Close();
    }
    if (FStop) break;
  }

  lineCount -= FRefused + FLeftOut;
  if (!FMissing.empty()) FDialogs.ShowMessage(MissingFilesText(FMissing));
  if (FSkipped.Count > 0) FDialogs.ShowMessage(SkippedLinesText(FSkipped));
  for (const std::size_t row : parser.StoppedReplaceRows()) {
    FWarnings.push_back(StoppedRowText(FGlobals, row));
    FDialogs.ShowWarning(FWarnings.back());
  }
  FHost.SetProgressPosition(0);
  return true;
}
