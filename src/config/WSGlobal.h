#pragma once
// The settings module: program directory layout, the per-user settings store helpers, the
// list files of config/, and the shared lookup tables (replacements, spare words, status codes,
// not-shown list).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/MemTable.h"
#include "log/SearchPhraseTables.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"

inline constexpr const char* MainKey = "Software\\Orvanta\\Trevalo";
inline constexpr const char* VersionText = "1.1";

// The same-visitor time when none is stored: 5 minutes, and as a fraction of a day.
inline constexpr std::int32_t DefaultTimeAreaMinutes = 5;
inline constexpr double DefaultTimeArea = DefaultTimeAreaMinutes / 1440.0;

class Tglobals : public ISearchPhraseTables {
public:
  // programDir ends in "/"; the configuration is programDir + "config/". Loads the three
  // lookup tables; each that cannot be loaded is reported through dialogs.ShowError, stays
  // empty and is listed in TableProblems, and start-up goes on. Tools may name another
  // configuration folder (configDir, empty: the program's own).
  Tglobals(ISettingsStore& store, IDialogs& dialogs, std::string programDir, std::string configDir = {});

  const std::string& ProgramDir() const { return FProgramDir; }
  const std::string& ConfigDir() const { return FConfigDir; }
  ISettingsStore& Store() const { return FStore; }
  IDialogs& Dialogs() const { return FDialogs; }

  // Settings store helpers; key paths are relative to the user's root. ReadRegString raises
  // ESettingsError for a value that is no text; ReadRegInteger gives false and -1 for a missing
  // key or value or one that is no integer. Errors of the store itself (a damaged settings
  // file) reach the caller from every helper.
  bool ReadRegString(const std::string& name, std::string& value, const std::string& keyPath = MainKey) const;
  bool ReadRegInteger(const std::string& name, std::int32_t& value, const std::string& keyPath = MainKey) const;
  bool WriteRegString(const std::string& name, const std::string& value, const std::string& keyPath = MainKey) const;
  bool WriteRegInteger(const std::string& name, std::int32_t value, const std::string& keyPath = MainKey) const;
  void CreateRegKey(const std::string& keyPath) const;

  // Dialog specs whose folder is remembered in the store.
  TFileDialogOptions MakeOpenDialogReg(TFileDialogOptions options, const std::string& keySuffix,
                                    const std::string& valueName) const;
  TFileDialogOptions MakeSaveDialogReg(TFileDialogOptions options, const std::string& keySuffix,
                                    const std::string& valueName) const;

  // The main-page and time-area dialogs of the Configuration menu.
  void InputRegString(const std::string& valueName, const std::string& caption, const std::string& prompt) const;
  void InputRegMinutes(const std::string& valueName, const std::string& caption, const std::string& prompt) const;

  // The same-visitor time as a fraction of a day (DefaultTimeArea when none is stored). A
  // stored value below 0 or above 59 raises EConvertError.
  double GetTimeArea() const;

  // List files of config/: one entry a line, CR LF line ends. A missing file reads as an
  // empty list; writing replaces the file through a temporary one. File errors raise
  // EQelFileError naming the path.
  std::vector<std::string> ReadListFile(const std::string& fileName) const;
  void WriteListFile(const std::string& fileName, const std::string& text) const;

  // Shared lookup tables, loaded at creation.
  TMemTable kbmReplace;
  TMemTable kbmSpare;
  TMemTable kbmStatusCodes;

  // The text of a status code, or "unknown status code (<code>)"; the reference stays valid
  // as long as this object.
  const std::string& GetStatusCodeText(std::int32_t code) const;
  // The search phrases' part: "search.txt" of the configuration, read for every parser;
  // "replace.lac" and "spare.lac" as loaded at creation.
  void LoadSearchEngines(TMemTable& table) const override;
  bool IsNotSpareWord(std::string_view word) const override;
  const std::vector<TReplaceRow>& ReplaceRows() const override { return FReplaceRows; }
  // Raises EQelFileError when "notschown.lst" cannot be read.
  std::vector<std::string> LoadNotShownList() const;

  // The lookup tables that could not be loaded (also "search.txt", when a parser asked for
  // it), one message each, naming the file and why; a run with any of them goes on with
  // poorer results, which the tool reports as a run with warnings.
  const std::vector<std::string>& TableProblems() const { return FTableProblems; }

private:
  void LoadTables();
  void BuildLookups();
  void NoteTableProblem(const std::string& message) const;

  ISettingsStore& FStore;
  IDialogs& FDialogs;
  std::string FProgramDir;
  std::string FConfigDir;
  std::vector<TReplaceRow> FReplaceRows;
  mutable std::vector<std::string> FTableProblems;
  // Lookup structures built from the tables after loading (see WSGlobal.cpp).
  struct TLookups;
  std::unique_ptr<TLookups> FLookups;
public:
  ~Tglobals() override;
};
