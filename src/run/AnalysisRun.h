#pragma once
// The analysis run: every line of every input file handed to every line handler, in two
// passes (count, then handle), with progress, stop and a report of missing files.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class TDSearchPattern;
class TQelBufferedFile;
class Tglobals;
class IDialogs;
class IRunHost;

// A line handler: called with the line as read and the run's parser.
using TLineHandler = std::function<void(const std::string& line, TDSearchPattern& parser)>;
// A line filter of a run: true lets the line through to the handlers.
using TLineFilter = std::function<bool(const std::string& line, TDSearchPattern& parser)>;

// The lines a tolerant run stepped over.
struct TSkippedLines {
  std::int64_t Count = 0;
  std::string FirstFile;
  std::int64_t FirstLine = 0;  // 1-based, comment and blank lines included
};

// An error that ended a run: the original message followed by the file and line it met.
class ERunError : public std::runtime_error {
public:
  ERunError(const std::string& message, std::string file, std::int64_t line);
  const std::string& File() const { return FFile; }
  std::int64_t Line() const { return FLine; }
  const std::string& OriginalMessage() const { return FOriginal; }

private:
  std::string FOriginal;
  std::string FFile;
  std::int64_t FLine;
};

class TAnalysisRun {
public:
  TAnalysisRun(const Tglobals& globals, IDialogs& dialogs, IRunHost& host);

  // False only when no log-type description suits the files; true otherwise, also after Stop.
  bool RunAnalysis(const std::vector<TLineHandler>& handlers, std::int64_t& lineCount,
                   const std::vector<std::string>& files);
  // The next log line of the open reader, with recovery after a reader error.
  bool ReadNextLine(TQelBufferedFile& reader, TDSearchPattern& parser, std::string& line);
  // Adds to count, line by line, the log lines that ReadNextLine would hand back until the
  // end of the open reader; they are not copied out.
  void CountLogLines(TQelBufferedFile& reader, TDSearchPattern& parser, std::string& line, std::int64_t& count);

  void Stop() { FStop = true; }
  bool Stopped() const { return FStop; }
  // Files of the last run that could not be found, in the order met.
  const std::vector<std::string>& MissingFiles() const { return FMissing; }
  // Warnings of the last run, each also shown as it ended: the replacement rows that stopped
  // at their bound (base/TextFunctions.h), each named once.
  const std::vector<std::string>& Warnings() const { return FWarnings; }
  // Lines handled in pass 2 of the last run.
  std::int64_t Processed() const { return FProcessed - FRefused - FLeftOut; }

  // Tolerant runs: a line too long to read, or one that the line check refuses, is skipped
  // and counted instead of ending the run; the user is told at the end. The line check reads
  // what the handlers will read and changes nothing, so that a line is handled by all of them
  // or by none; it refuses a line by raising EFieldMissingError or EConvertError. Without a
  // check no line is refused. The line count of a tolerant run leaves out the skipped lines.
  void SetSkipBadLines(bool on) { FSkipBadLines = on; }
  bool SkipBadLines() const { return FSkipBadLines; }
  void SetLineCheck(TLineHandler check) { FLineCheck = std::move(check); }
  const TSkippedLines& Skipped() const { return FSkipped; }

  // The run's line filter, asked once for every line after the line check and before any
  // handler, with the line split already: a line it refuses goes to no handler and is left
  // out of the line count as well; LeftOut counts them. Its errors are those of a handler;
  // in a tolerant run the line check must read what it reads. Without a filter every line
  // goes through.
  void SetLineFilter(TLineFilter filter) { FLineFilter = std::move(filter); }
  std::int64_t LeftOut() const { return FLeftOut; }

private:
  bool ReadOrSkipLine(TQelBufferedFile& reader, std::string& line);
  bool LineReadable(const std::string& line, TDSearchPattern& parser, const std::string& path);
  void NoteSkipped(const std::string& path, std::int64_t line);

  const Tglobals& FGlobals;
  IDialogs& FDialogs;
  IRunHost& FHost;
  bool FStop = false;
  std::vector<std::string> FMissing;
  std::vector<std::string> FWarnings;
  std::int64_t FProcessed = 0;  // lines of pass 2 so far, refused ones included
  std::int64_t FRefused = 0;    // lines the line check refused
  std::int64_t FLeftOut = 0;    // lines the line filter refused
  std::int64_t FPhysicalLine = 0;  // lines read from the current file, comments included
  bool FSkipBadLines = false;
  TLineHandler FLineCheck;
  TLineFilter FLineFilter;
  TSkippedLines FSkipped;
};
