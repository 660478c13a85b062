#pragma once
// The log parser: log-type descriptions and their choice, splitting a line into fields,
// log dates, field access by kind, and search phrases of referrers.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/ConvertError.h"
#include "base/MemTable.h"
#include "log/FieldKind.h"

class TQelBufferedFile;
class ISearchPhraseTables;

// Raised for a field kind missing from the description and for a field the line lacks
// ("TDSearchPattern Error, field 4 ("Date") missing in line"); the message is the one the
// user sees.
class ETDSearchPatternError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A field that the line lacks (the description has it).
class EFieldMissingError : public ETDSearchPatternError {
public:
  using ETDSearchPatternError::ETDSearchPatternError;
};

class TDSearchPattern {
public:
  // Loads kbmSearch through tables (which report a load error; the parser carries on with an
  // empty engine table). Description files are looked up in configDir + "LogTypes/". The
  // tables must outlive the parser.
  TDSearchPattern(const ISearchPhraseTables& tables, std::string configDir);
  ~TDSearchPattern();

  TMemTable kbmLogConfig;  // Name, LeftChar, RightChar: the current description
  TMemTable kbmSearch;     // machine, text: the search-engine table

  // Chooses the description for the input files; true when one suits. Description files are
  // tried in the order of their names. An input file that cannot be read raises its file error,
  // naming the line where reading failed.
  bool SelectLogType(const std::vector<std::string>& files);
  // Reads on to the "#Fields: " line; linesRead counts the lines of the file read before, so
  // that a read error can name its line.
  bool ReadW3CFields(TQelBufferedFile& reader, std::int64_t linesRead = 0);
  bool W3C() const { return FW3C; }

  // The next log line of an open reader; comment lines and empty lines are skipped. The line
  // is empty only when the file ended before another log line.
  void ReadLogLine(TQelBufferedFile& reader, std::string& line);
  // The same, adding to physicalLines every line read, comments and empty lines included.
  void ReadLogLine(TQelBufferedFile& reader, std::string& line, std::int64_t& physicalLines);

  // Announces the line that the following field requests are about, until the next call
  // (nullptr: none). The string must not change until then; the run driver announces each
  // line it hands to its handlers, so that they are not told apart by content.
  void BeginLine(const std::string* line);

  // Cuts the next field out of a line; pos is the 1-based position of the last character
  // consumed (0 before the first field) and is updated.
  static std::string_view NextToken(int& pos, std::string_view line, char left, char right);
  // The line's fields, a log date as the text GetDateTime reads back; true when the line fits
  // the description exactly. The strings already in fields are reused.
  bool SplitLine(std::string_view line, std::vector<std::string>& fields);
  bool MatchesLine(std::string_view line);

  // Log dates (10/Oct/2000:13:55:36 -0700) as UTC date-time values (days since 1899-12-30).
  static double ParseLogDate(std::string_view text);  // raises EConvertError
  static bool IsLogDate(std::string_view text);

  // Field access by kind. The line is split once and cached until another line is asked
  // about; returned views stay valid until then.
  std::string_view GetField(const std::string& line, TFieldKind kind);
  // Whether the description in force names a field of the kind.
  bool HasField(TFieldKind kind) const;
  double GetDateTime(const std::string& line);
  // An empty field and "-" give 0; a value beyond 32 bits raises EConvertError.
  std::int32_t GetInteger(const std::string& line, TFieldKind kind);
  std::int64_t GetInt64(const std::string& line, TFieldKind kind);  // byte counts beyond 2^31

  // Search phrases of referrers.
  std::string GetSearchPhrase(std::string_view referrer, std::string_view defaultText, bool withHost);
  std::string FindEngineParameter(std::string_view url) const;
  std::string ExtractSearchWords(std::string_view url, std::string_view parameter, bool withHost) const;
  // The replacement rows (indexes from 0) that stopped at their bound on some referrer since
  // this parser was made (ApplyReplaceTable), so that each is told once per run.
  std::vector<std::size_t> StoppedReplaceRows() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;  // split cache (FLine, FFields), description in fast form
  const ISearchPhraseTables& FTables;
  std::string FConfigDir;
  bool FW3C = false;
};
