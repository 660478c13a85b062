#include "run/ListFileInput.h"

#include <algorithm>

#include "config/WSGlobal.h"

namespace {

bool IsBlank(const std::string& entry) {
  return std::all_of(entry.begin(), entry.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

bool TListFileInput::HasInputFiles() { return !GetList(false).empty(); }

std::vector<std::string> TListFileInput::GetList(bool lockWords) {
  auto entries = FGlobals.ReadListFile(lockWords ? LockWordsList : InputFilesList);
  std::erase_if(entries, IsBlank);
  return entries;
}
