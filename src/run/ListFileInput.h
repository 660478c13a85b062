#pragma once
// The input files and lock words as the list files of config/ hold them ("FileList.lst",
// "BaneWords.lst"). Blank entries are left out.
#include "run/InputLists.h"

class Tglobals;

inline constexpr const char* InputFilesList = "FileList.lst";
inline constexpr const char* LockWordsList = "BaneWords.lst";

class TListFileInput : public IInputLists {
public:
  explicit TListFileInput(const Tglobals& globals) : FGlobals(globals) {}

  bool HasInputFiles() override;
  std::vector<std::string> GetList(bool lockWords) override;

private:
  const Tglobals& FGlobals;
};
