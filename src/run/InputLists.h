#pragma once
// What the analysis commands ask the list editor for: whether input files are listed, and
// the input files or the lock words, read anew at every call.
#include <string>
#include <vector>

class IInputLists {
public:
  virtual ~IInputLists() = default;
  virtual bool HasInputFiles() = 0;
  // The lock words when lockWords, otherwise the input files; in list order.
  virtual std::vector<std::string> GetList(bool lockWords) = 0;
};
