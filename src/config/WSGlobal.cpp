#include "config/WSGlobal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/ConvertError.h"
#include "base/ReplaceFile.h"
#include "base/TableFile.h"
#include "base/TextHash.h"
#include "log/QelNewFile.h"

namespace {

const std::string CheckListSuffix = "\\ProccesCheckList";

// The whole text as a decimal integer (blanks around it allowed); -1 for anything else.
std::int32_t MinutesOf(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return -1;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;  // from_chars takes no plus sign
  std::int32_t value = -1;
  const auto [stop, error] = std::from_chars(begin, end, value);
  return (error == std::errc() && stop == end) ? value : -1;
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string TextOf(const TMemTable& table, int field) {
  return table.IsNull(field) ? std::string() : table.AsString(field);
}

}  // namespace

struct Tglobals::TLookups {
  std::unordered_map<std::int32_t, std::string> StatusTexts;
  std::unordered_map<std::int32_t, std::string> UnknownStatusTexts;  // made on first request
  std::unordered_set<std::string, TExactHash, std::equal_to<>> SpareWords;
};

Tglobals::Tglobals(ISettingsStore& store, IDialogs& dialogs, std::string programDir, std::string configDir)
    : kbmReplace("kbmReplace", {{"hexChar", TFieldType::String, 1},
                                {"search", TFieldType::String, 20},
                                {"replace", TFieldType::String, 20}}),
      kbmSpare("kbmSpare", {{"spareText", TFieldType::String, 50}}),
      kbmStatusCodes("kbmStatusCodes", {{"Index", TFieldType::Integer, 0}, {"Text", TFieldType::String, 80}}),
      FStore(store),
      FDialogs(dialogs),
      FProgramDir(WithSlash(std::move(programDir))),
      FConfigDir(configDir.empty() ? FProgramDir + "config/" : WithSlash(std::move(configDir))),
      FLookups(std::make_unique<TLookups>()) {
  LoadTables();
  BuildLookups();
}

Tglobals::~Tglobals() = default;

void Tglobals::LoadTables() {
  const std::pair<TMemTable*, const char*> tables[] = {
      {&kbmReplace, "replace.lac"}, {&kbmSpare, "spare.lac"}, {&kbmStatusCodes, "errorcodes.lac"}};
  for (const auto& [table, file] : tables) table->Open();
  // Each table is loaded on its own: a missing replacement table must not leave every status
  // code unknown.
  for (const auto& [table, file] : tables) {
    try {
      LoadTableFile(*table, ConfigDir() + file);
    } catch (const std::exception& e) {
      table->Empty();  // a half-read table would give a half-true answer
      NoteTableProblem(e.what());
    }
  }
}

void Tglobals::NoteTableProblem(const std::string& message) const {
  FDialogs.ShowError(message);
  if (std::find(FTableProblems.begin(), FTableProblems.end(), message) == FTableProblems.end())
    FTableProblems.push_back(message);
}

void Tglobals::BuildLookups() {
  const int index = kbmStatusCodes.FieldNo("Index"), text = kbmStatusCodes.FieldNo("Text");
  for (kbmStatusCodes.First(); !kbmStatusCodes.Eof(); kbmStatusCodes.Next())
    if (!kbmStatusCodes.IsNull(index))  // emplace keeps the first text of a code
      FLookups->StatusTexts.emplace(kbmStatusCodes.AsInteger(index), TextOf(kbmStatusCodes, text));

  const int spare = kbmSpare.FieldNo("spareText");
  for (kbmSpare.First(); !kbmSpare.Eof(); kbmSpare.Next()) FLookups->SpareWords.insert(TextOf(kbmSpare, spare));

  const int hexChar = kbmReplace.FieldNo("hexChar"), search = kbmReplace.FieldNo("search"),
            replace = kbmReplace.FieldNo("replace");
  for (kbmReplace.First(); !kbmReplace.Eof(); kbmReplace.Next())
    FReplaceRows.push_back(
        {TextOf(kbmReplace, hexChar), TextOf(kbmReplace, search), TextOf(kbmReplace, replace)});
}

// ---- Settings store helpers ------------------------------------------------------------------

bool Tglobals::ReadRegString(const std::string& name, std::string& value, const std::string& keyPath) const {
  value.clear();
  if (!FStore.KeyExists(keyPath)) return false;
  const auto stored = FStore.ReadValue(keyPath, name);
  if (!stored) return true;
  const auto* text = std::get_if<std::string>(&*stored);
  if (!text)
    throw ESettingsError("the setting \"" + name + "\" of \"" + keyPath + "\" is a number, not a text");
  value = *text;
  return true;
}

bool Tglobals::ReadRegInteger(const std::string& name, std::int32_t& value, const std::string& keyPath) const {
  value = -1;
  if (!FStore.KeyExists(keyPath)) return false;
  const auto stored = FStore.ReadValue(keyPath, name);
  if (!stored || !std::holds_alternative<std::int32_t>(*stored)) return false;
  value = std::get<std::int32_t>(*stored);
  return true;
}

bool Tglobals::WriteRegString(const std::string& name, const std::string& value, const std::string& keyPath) const {
  return FStore.WriteValue(keyPath, name, value);
}

bool Tglobals::WriteRegInteger(const std::string& name, std::int32_t value, const std::string& keyPath) const {
  return FStore.WriteValue(keyPath, name, value);
}

void Tglobals::CreateRegKey(const std::string& keyPath) const { FStore.CreateKey(keyPath); }

TFileDialogOptions Tglobals::MakeOpenDialogReg(TFileDialogOptions options, const std::string& keySuffix,
                                            const std::string& valueName) const {
  if (!ReadRegString(valueName, options.Folder, MainKey + keySuffix)) CreateRegKey(MainKey);
  return options;
}

TFileDialogOptions Tglobals::MakeSaveDialogReg(TFileDialogOptions options, const std::string& keySuffix,
                                            const std::string& valueName) const {
  ReadRegString(valueName, options.Folder, MainKey + keySuffix);
  return options;
}

// ---- Configuration dialogs --------------------------------------------------------------------

void Tglobals::InputRegString(const std::string& valueName, const std::string& caption,
                              const std::string& prompt) const {
  std::string current;
  if (!ReadRegString(valueName, current, MainKey)) CreateRegKey(MainKey);
  const std::string text = FDialogs.InputBox(caption, prompt, current);
  if (!text.empty()) WriteRegString(valueName, text, MainKey);  // an empty entry keeps the old one
}

void Tglobals::InputRegMinutes(const std::string& valueName, const std::string& caption,
                               const std::string& prompt) const {
  std::int32_t minutes = -1;
  if (!ReadRegInteger(valueName, minutes, MainKey)) CreateRegKey(MainKey);
  if (minutes == -1) minutes = DefaultTimeAreaMinutes;
  std::string shown = std::to_string(minutes);
  // The box comes back until a valid value is stored; cancelling after a rejection keeps "5".
  for (;;) {
    shown = FDialogs.InputBox(caption, prompt, shown);
    const std::int32_t number = MinutesOf(shown);
    if (number > 0 && number < 60) {
      WriteRegInteger(valueName, number, MainKey);
      return;
    }
    FDialogs.ShowInformation("'" + shown + "' is no valid value.");
    shown = std::to_string(DefaultTimeAreaMinutes);
  }
}

double Tglobals::GetTimeArea() const {
  std::int32_t minutes = -1;
  if (!ReadRegInteger("TimeArea", minutes, MainKey)) return DefaultTimeArea;
  if (minutes < 0 || minutes > 59)
    throw EConvertError("the stored time area of " + std::to_string(minutes) +
                        " minutes is no valid time (0 to 59 minutes); set it again under Same User Time");
  return minutes / 1440.0;
}

// ---- List files -------------------------------------------------------------------------------

std::vector<std::string> Tglobals::ReadListFile(const std::string& fileName) const {
  std::vector<std::string> list;
  TQelBufferedFile file;
  file.SetFileName(ConfigDir() + fileName);
  if (!file.Exists()) return list;
  file.Open(omReadExisting);
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    list.push_back(line);
  }
  file.Close();
  return list;
}

void Tglobals::WriteListFile(const std::string& fileName, const std::string& text) const {
  ReplaceFileContents(ConfigDir() + fileName, text);
}

// ---- Shared lookup tables ---------------------------------------------------------------------

const std::string& Tglobals::GetStatusCodeText(std::int32_t code) const {
  if (const auto known = FLookups->StatusTexts.find(code); known != FLookups->StatusTexts.end())
    return known->second;
  auto& unknown = FLookups->UnknownStatusTexts;
  auto cached = unknown.find(code);
  if (cached == unknown.end())
    cached = unknown.emplace(code, "unknown status code (" + std::to_string(code) + ")").first;
  return cached->second;
}

void Tglobals::LoadSearchEngines(TMemTable& table) const {
  try {
    LoadTableFile(table, ConfigDir() + "search.txt");
  } catch (const std::exception& e) {
    table.Empty();
    NoteTableProblem(e.what());
  }
}

bool Tglobals::IsNotSpareWord(std::string_view word) const {
  return FLookups->SpareWords.find(word) == FLookups->SpareWords.end();
}

std::vector<std::string> Tglobals::LoadNotShownList() const {
  std::vector<std::string> list;
  std::int32_t groupState = 0;  // entries above the first group are always taken
  TQelBufferedFile file;
  file.SetFileName(ConfigDir() + "notschown.lst");
  file.Open(omReadExisting);
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    if (line.size() >= 2 && line.front() == '<' && line.back() == '>') {
      ReadRegInteger(line.substr(1, line.size() - 2), groupState, MainKey + CheckListSuffix);
    } else if (groupState == 0) {
      list.push_back(line);
    }
  }
  file.Close();
  return list;
}
