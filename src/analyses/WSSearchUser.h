#pragma once
// Visitor identification: the lines of one client address belong to one visit as long as no
// gap between two consecutive lines of that address exceeds the time area.
//
// The system has two visit rules, and both are meant as they are:
// - this lookup (the short statistics' visitors, the per-user hits) takes lines in the order
//   read, continues a visit at a gap of exactly the time area, and compares addresses without
//   letter case ("HOST" and "host" are one visitor);
// - the visitor paths (TAddPageAnalysis::BuildVisits) cut visits in the request table ordered
//   by time, begin a new visit at a gap of exactly the time area, and compare addresses
//   exactly, after the blanks at both ends are removed.
// So the visitors counted in the short statistics need not equal the visits of the paths.
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
