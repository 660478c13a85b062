#include "log/W2SearchPat.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <limits>
#include <unordered_map>

#include "base/AsciiText.h"
#include "base/TableFile.h"
#include "base/TextFunctions.h"
#include "base/TextHash.h"
#include "log/LogDate.h"
#include "log/LogDescription.h"
#include "log/QelNewFile.h"
#include "log/SearchPhraseTables.h"

struct TDSearchPattern::TImpl {
  TLogDescription Description;
  // The split cache: FFields are spans into FText, the line last split. The line announced by
  // BeginLine is split where it stands; any other line is copied to FLine first. Texts made
  // from a line (a date's text form, W3C kinds joined from several fields) are made on
  // request and kept until the next line.
  std::string FLine;
  std::string_view FText;
  bool HaveLine = false;
  bool HaveCurrent = false;  // FText is the announced line
  std::vector<TFieldSpan> FFields;
  std::vector<TFieldSpan> Scratch;
  std::array<std::string, TLogDescription::SlotCount> Joined;
  std::array<bool, TLogDescription::SlotCount> JoinedValid{};
  std::string DateText;
  bool DateTextValid = false;
  int MachineField = 0;
  int TextField = 0;
  const std::string* Current = nullptr;  // the line announced by BeginLine
  // kbmSearch's rows as plain texts, for the lines with a query; rebuilt after a change.
  struct TEngine {
    std::string Machine;
    std::string Text;
  };
  std::vector<TEngine> Engines;
  std::size_t LongestMachine = 0;
  // Replacement rows that stopped at the length bound on some referrer of this parser.
  std::vector<bool> StoppedReplaceRows;
  bool EnginesValid = false;
  int EngineObserver = -1;
  // The parameter found for the start of a referrer, up to where the longest engine name
  // could end: the same start always finds the same. Forgotten with the engines.
  std::unordered_map<std::string, std::string, TExactHash, std::equal_to<>> EngineOfStart;

  void Forget() { HaveLine = HaveCurrent = false; }

  void Split(const std::string& line) {
    // The announced line is known without a look; other lines are told apart by content
    // (the size check settles most of them), and only from a copy: the announced line's
    // string is the caller's.
    const bool current = &line == Current;
    const bool same = current ? HaveCurrent
                              : !HaveCurrent && line.size() == FText.size() &&
                                    std::memcmp(line.data(), FText.data(), line.size()) == 0;
    if (HaveLine && same) return;
    if (current) {
      FText = line;
    } else {
      FLine.assign(line);
      FText = FLine;
    }
    Description.Split(FText, FFields);
    HaveLine = true;
    HaveCurrent = current;
    JoinedValid.fill(false);
    DateTextValid = false;
  }

  std::string_view Text(const TFieldSpan& span) const { return FText.substr(span.Offset, span.Length); }

  const TFieldSpan& Field(int record) const {
    if (record >= static_cast<int>(FFields.size())) {
      const std::string& name = Description.Fields()[static_cast<std::size_t>(record)].Name;
      throw EFieldMissingError("TDSearchPattern Error, field " + std::to_string(record + 1) + " (\"" + name +
                                  "\") missing in line");
    }
    return FFields[static_cast<std::size_t>(record)];
  }

  int DescriptionRecord(TFieldKind kind) const {
    const int record = Description.RecordOf(kind);
    if (record < 0)
      throw ETDSearchPatternError(std::string("TDSearchPattern Error, part \"") + FieldKindName(kind) +
                                  "\" not found in configuration!");
    return record;
  }
};

namespace {

const std::vector<TFieldDef> LogConfigFields = {
    {"Name", TFieldType::String, 15}, {"LeftChar", TFieldType::String, 1}, {"RightChar", TFieldType::String, 1}};
const std::vector<TFieldDef> SearchFields = {{"machine", TFieldType::String, 50}, {"text", TFieldType::String, 50}};

char DelimiterOf(const TMemTable& table, int row, int field) {
  const std::string text = table.IsNullAt(row, field) ? std::string() : table.AsStringAt(row, field);
  return text.empty() ? ' ' : text[0];
}

TLogDescription DescriptionOf(const TMemTable& table, bool w3c) {
  const int name = table.FieldNo("Name"), left = table.FieldNo("LeftChar"), right = table.FieldNo("RightChar");
  std::vector<TLogFieldDef> fields;
  for (int row = 0; row < table.RecordCount(); ++row)
    fields.push_back({table.IsNullAt(row, name) ? std::string() : table.AsStringAt(row, name),
                      DelimiterOf(table, row, left), DelimiterOf(table, row, right)});
  return TLogDescription(std::move(fields), w3c);
}

// Description files store an empty delimiter for a space.
void FillEmptyDelimiters(TMemTable& table) {
  const int fields[] = {table.FieldNo("LeftChar"), table.FieldNo("RightChar")};
  for (table.First(); !table.Eof(); table.Next())
    for (int field : fields)
      if (table.IsNull(field) || table.AsStringView(field).empty()) {
        table.Edit();
        table.SetString(field, " ");
        table.Post();
      }
}

// Description files in the order of their names, so that the choice does not depend on
// the file system's listing order.
std::vector<std::string> DescriptionFiles(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    std::error_code typeError;
    // Anything but a folder is tried, so that a file that cannot be read is reported.
    if (!it->is_directory(typeError) && SameTextAscii(path.extension().string(), ".lf"))
      files.push_back(path.string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A line of an input file; a failure names the line besides the file.
void ReadInputLine(TQelBufferedFile& reader, std::string& line, std::int64_t lineNumber) {
  try {
    reader.ReadLine(line);
  } catch (const EQelFileError& e) {
    throw EQelFileError(std::string(e.what()) + " (line " + std::to_string(lineNumber) + ")");
  }
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool NeedsQuotes(std::string_view word) {
  return std::any_of(word.begin(), word.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= ' ' || u == 127 || c == ',' || c == '"';
  });
}

// Words joined by "," ; a word with a blank, comma, quote or control character is quoted,
// its quotes doubled.
void AppendCommaText(std::string& out, const std::vector<std::string>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) out += ',';
    if (!NeedsQuotes(words[i])) {
      out += words[i];
      continue;
    }
    out += '"';
    for (char c : words[i]) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
}

std::int64_t ToInteger(std::string_view text) {
  if (text.empty() || text == "-") return 0;
  std::int64_t value = 0;
  if (!TryParseInteger(text, value)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

}  // namespace

TDSearchPattern::TDSearchPattern(const ISearchPhraseTables& tables, std::string configDir)
    : kbmLogConfig("kbmLogConfig", LogConfigFields),
      kbmSearch("kbmSearch", SearchFields),
      FImpl(std::make_unique<TImpl>()),
      FTables(tables),
      FConfigDir(std::move(configDir)) {
  kbmLogConfig.Open();
  kbmSearch.Open();
  FImpl->MachineField = kbmSearch.FieldNo("machine");
  FImpl->TextField = kbmSearch.FieldNo("text");
  FImpl->EngineObserver =
      kbmSearch.AddObserver([impl = FImpl.get()](const TTableChange&) { impl->EnginesValid = false; });
  FTables.LoadSearchEngines(kbmSearch);
}

// The observer goes before the table can tell it anything more.
TDSearchPattern::~TDSearchPattern() { kbmSearch.RemoveObserver(FImpl->EngineObserver); }

bool TDSearchPattern::SelectLogType(const std::vector<std::string>& files) {
  FImpl->Forget();
  TQelBufferedFile reader;
  std::string firstLine;
  for (const std::string& path : files) {
    reader.SetFileName(path);
    if (!reader.Exists()) continue;
    reader.Open(omReadExisting);
    if (reader.GetSize() > 0) {
      ReadInputLine(reader, firstLine, 1);
      break;
    }
    reader.Close();
  }

  if (StartsWith(firstLine, "#Software")) {
    FW3C = true;
    const bool found = ReadW3CFields(reader, 1);
    reader.Close();
    return found;
  }
  if (reader.Opened()) reader.Close();
  FW3C = false;
  for (const std::string& file : DescriptionFiles(FConfigDir + "LogTypes/")) {
    kbmLogConfig.Empty();
    FImpl->Description = TLogDescription();
    FImpl->Forget();
    LoadTableFile(kbmLogConfig, file);
    FillEmptyDelimiters(kbmLogConfig);
    FImpl->Description = DescriptionOf(kbmLogConfig, false);
    if (MatchesLine(firstLine)) return true;
  }
  return false;
}

bool TDSearchPattern::ReadW3CFields(TQelBufferedFile& reader, std::int64_t linesRead) {
  static constexpr std::string_view FieldsPrefix = "#Fields: ";
  std::string line;
  do {
    if (reader.Eof()) return false;
    ReadInputLine(reader, line, ++linesRead);
  } while (!StartsWith(line, FieldsPrefix));

  kbmLogConfig.Empty();
  const std::string_view rest = std::string_view(line).substr(FieldsPrefix.size());
  int pos = 0;
  for (std::string_view name = NextToken(pos, rest, ' ', ' '); !name.empty(); name = NextToken(pos, rest, ' ', ' ')) {
    kbmLogConfig.Append();
    kbmLogConfig.SetString(0, name);
    kbmLogConfig.SetString(1, " ");
    kbmLogConfig.SetString(2, " ");
    kbmLogConfig.Post();
  }
  FW3C = true;
  FImpl->Description = DescriptionOf(kbmLogConfig, true);
  FImpl->Forget();
  return true;
}

void TDSearchPattern::ReadLogLine(TQelBufferedFile& reader, std::string& line) {
  std::int64_t physicalLines = 0;
  ReadLogLine(reader, line, physicalLines);
}

void TDSearchPattern::ReadLogLine(TQelBufferedFile& reader, std::string& line, std::int64_t& physicalLines) {
  // Empty lines are skipped like comments: handlers expect the fields of a log line.
  reader.ReadLine(line);
  ++physicalLines;
  while ((line.empty() || line[0] == '#') && !reader.Eof()) {
    reader.ReadLine(line);
    ++physicalLines;
  }
  if (!line.empty() && line[0] == '#') line.clear();
}

void TDSearchPattern::BeginLine(const std::string* line) {
  FImpl->Forget();
  FImpl->Current = line;
}

bool TDSearchPattern::SplitLine(std::string_view line, std::vector<std::string>& fields) {
  std::vector<TFieldSpan>& spans = FImpl->Scratch;
  const bool fits = FImpl->Description.Split(line, spans);
  fields.resize(spans.size());  // keeps the strings already there, and their capacity
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (spans[i].IsDate) {
      fields[i].clear();
      AppendDateText(fields[i], spans[i].Date);
    } else {
      fields[i].assign(line.substr(spans[i].Offset, spans[i].Length));
    }
  }
  return fits;
}

bool TDSearchPattern::MatchesLine(std::string_view line) { return FImpl->Description.Split(line, FImpl->Scratch); }

std::string_view TDSearchPattern::GetField(const std::string& line, TFieldKind kind) {
  TImpl& impl = *FImpl;
  impl.Split(line);
  if (!FW3C) {
    const TFieldSpan& span = impl.Field(impl.DescriptionRecord(kind));
    if (!span.IsDate) return impl.Text(span);
    if (!impl.DateTextValid) {
      impl.DateText.clear();
      AppendDateText(impl.DateText, span.Date);
      impl.DateTextValid = true;
    }
    return impl.DateText;
  }

  const std::vector<int>& records = impl.Description.W3CRecordsOf(kind);
  if (records.empty()) return {};
  if (records.size() == 1) return impl.Text(impl.Field(records[0]));
  const int slot = TLogDescription::Slot(kind);
  std::string& joined = impl.Joined[static_cast<std::size_t>(slot)];
  if (!impl.JoinedValid[static_cast<std::size_t>(slot)]) {
    joined.clear();
    for (int record : records) {
      const std::string_view text = impl.Text(impl.Field(record));
      if (!joined.empty()) joined += ' ';
      joined += text;
    }
    impl.JoinedValid[static_cast<std::size_t>(slot)] = true;
  }
  return joined;
}

bool TDSearchPattern::HasField(TFieldKind kind) const {
  const TLogDescription& description = FImpl->Description;
  return FW3C ? !description.W3CRecordsOf(kind).empty() : description.RecordOf(kind) >= 0;
}

double TDSearchPattern::GetDateTime(const std::string& line) {
  if (!FW3C) {
    // The split has already read the date; its cached value is the one its text stands for.
    FImpl->Split(line);
    const TFieldSpan& span = FImpl->Field(FImpl->DescriptionRecord(TFieldKind::Date));
    if (span.IsDate) return span.Date;
  }
  const std::string_view text = GetField(line, TFieldKind::Date);
  if (text.empty()) return 0;
  double result = 0;
  const bool read = FW3C ? TryParseW3CDateTime(text, result) : TryReadDateText(text, result);
  if (!read) throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
  return result;
}

std::int32_t TDSearchPattern::GetInteger(const std::string& line, TFieldKind kind) {
  const std::int64_t value = GetInt64(line, kind);
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    throw EConvertError("'" + std::string(GetField(line, kind)) + "' is not a valid integer value");
  return static_cast<std::int32_t>(value);
}

std::int64_t TDSearchPattern::GetInt64(const std::string& line, TFieldKind kind) {
  if (!FW3C) {
    // The split has already read a checked number.
    FImpl->Split(line);
    const TFieldSpan& span = FImpl->Field(FImpl->DescriptionRecord(kind));
    if (span.IsNumber) return span.Number;
  }
  return ToInteger(GetField(line, kind));
}

std::string TDSearchPattern::GetSearchPhrase(std::string_view referrer, std::string_view defaultText, bool withHost) {
  const std::string parameter = FindEngineParameter(referrer);
  if (!parameter.empty()) return ExtractSearchWords(referrer, parameter, withHost);
  return LowerAscii(defaultText);
}

std::string TDSearchPattern::FindEngineParameter(std::string_view url) const {
  // The first "/" after "://" ends the host; the engine's name must stand before it. Without
  // a scheme the search starts at the 8th character, where a four-letter scheme would end.
  const std::size_t scheme = url.find("://");
  const std::size_t hostEnd = url.find('/', scheme == std::string_view::npos ? 7 : scheme + 3);
  if (hostEnd == std::string_view::npos) return {};
  TImpl& impl = *FImpl;
  // Changes are told to the observer unless the table's display is held; the count catches
  // rows added or deleted meanwhile.
  if (!impl.EnginesValid || impl.Engines.size() != static_cast<std::size_t>(kbmSearch.RecordCount())) {
    impl.Engines.clear();
    impl.LongestMachine = 0;
    impl.EngineOfStart.clear();
    for (int row = 0; row < kbmSearch.RecordCount(); ++row) {
      impl.Engines.push_back({std::string(kbmSearch.AsStringViewAt(row, impl.MachineField)),
                              kbmSearch.AsStringAt(row, impl.TextField)});
      impl.LongestMachine = std::max(impl.LongestMachine, impl.Engines.back().Machine.size());
    }
    impl.EnginesValid = true;
  }
  // Only a match that starts before the host's end counts: no need to look further. The
  // start of the referrer up to where the longest name could end decides, host end included.
  const std::string_view start = url.substr(0, hostEnd - 1 + std::max<std::size_t>(impl.LongestMachine, 1));
  if (auto known = impl.EngineOfStart.find(start); known != impl.EngineOfStart.end()) return known->second;
  std::string found;
  for (const TImpl::TEngine& engine : impl.Engines) {
    if (engine.Machine.empty()) continue;
    if (url.substr(0, hostEnd - 1 + engine.Machine.size()).find(engine.Machine) != std::string_view::npos) {
      found = engine.Text;
      break;
    }
  }
  // Referrer hosts are few, but a log may hold many made-up ones: the memory stays bounded.
  if (impl.EngineOfStart.size() >= 10000) impl.EngineOfStart.clear();
  impl.EngineOfStart.emplace(std::string(start), found);
  return found;
}

std::string TDSearchPattern::ExtractSearchWords(std::string_view url, std::string_view parameter,
                                                bool withHost) const {
  const std::string decoded = ApplyReplaceTable(url, FTables.ReplaceRows(), &FImpl->StoppedReplaceRows);
  const std::size_t p = parameter.empty() ? std::string::npos : decoded.find(parameter);
  if (p == std::string::npos) return std::string(url);

  // Indexes from 0 here; the value's words are separated by "+" and it ends at "&".
  const std::size_t length = decoded.size();
  std::size_t i = p + parameter.size();
  while (i < length && decoded[i] == '+') ++i;
  // The value ends at the next "&", which may be at i itself: an empty value ("q=&hl=de")
  // has no words rather than the next parameter for one.
  std::size_t e = decoded.find('&', i);
  if (e == std::string::npos) e = length;
  std::vector<std::string> words;
  do {
    std::size_t n = decoded.find('+', i + 1);
    if (n == std::string::npos || n > e) n = e;
    std::string word = DecodeAllEscapes(LowerAscii(std::string_view(decoded).substr(i, n - i)));
    if (FTables.IsNotSpareWord(word)) words.push_back(std::move(word));
    i = n + 1;
  } while (i < e);

  std::string result;
  if (withHost) {
    const std::size_t slashes = url.find("//");
    const std::size_t h = slashes == std::string_view::npos ? 1 : slashes + 2;  // first host character
    const std::size_t t = url.find('/', h + 1);
    if (t != std::string_view::npos) result.append(url.substr(h, t - h));
    result += " - ";
  }
  std::stable_sort(words.begin(), words.end(),
                   [](const std::string& a, const std::string& b) { return LessTextAscii(a, b); });
  AppendCommaText(result, words);
  return result;
}

std::vector<std::size_t> TDSearchPattern::StoppedReplaceRows() const {
  std::vector<std::size_t> rows;
  for (std::size_t r = 0; r < FImpl->StoppedReplaceRows.size(); ++r)
    if (FImpl->StoppedReplaceRows[r]) rows.push_back(r);
  return rows;
}
