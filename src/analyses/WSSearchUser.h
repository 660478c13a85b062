#pragma once
// Visitor identification: the lines of one client address belong to one visit as long as no
// gap between two consecutive lines of that address exceeds the time area.
#include <cstddef>
#include <string>
#include <string_view>

#include "analyses/FoldedTable.h"

class TDSearchPattern;

class TSearchUser {
public:
  // timeArea: the same-visitor time as a fraction of a day (GetTimeArea of the settings).
  explicit TSearchUser(double timeArea) : FTimeArea(timeArea) {}

  // Records the line's address and time; true when the line begins a new visit. Asks the
  // parser for the date-time first, then for the IP field; parser errors pass through.
  bool IsNewVisitor(const std::string& line, TDSearchPattern& parser);
  // The same for an address and a date-time already taken from a line.
  bool IsNewVisitor(std::string_view address, double dateTime);

  // Forgets every address; the time area stays.
  void ClearUsers() {
    FUsers.Clear();
    FLastAddress.clear();
    FLastLatest = nullptr;
  }

  double TimeArea() const { return FTimeArea; }
  std::size_t UserCount() const { return FUsers.Size(); }

private:
  // Address (letter case ignored) to the date-time of its latest line.
  TFoldedTable<double> FUsers;
  double FTimeArea;
  // Consecutive lines mostly come from one address: its entry is kept at hand.
  std::string FLastAddress;
  double* FLastLatest = nullptr;
};
