#pragma once
// The visits of the visitor paths, stored compactly: a visit is its address, its entry text
// and its pages, each a text and a time. Texts are interned once; a visit costs 16 bytes and a
// page 20, so that the visits of a log of millions of lines fit beside its request table.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/StringPool.h"

// One row of a listed path: a node's text and time, and for the rows between the first and
// the last the time until the next row (absent when that row has no time).
struct TPathRow {
  std::uint32_t ID;  // place of the node in the visit's listing: address, entry, pages
  std::string_view Text;
  double Time;
  bool HasTimeViewed;
  double TimeViewed;
};

class TVisitList {
public:
  struct TNode {
    std::string_view Text;
    double Time;
  };

  // Also gives the memory back.
  void Clear();
  // The id of a text, to pass to AddVisit and AddPage.
  std::uint32_t Intern(std::string_view text) { return FTexts.Intern(text); }
  // Begins a visit at time; returns its index. Visits are numbered in the order begun.
  std::int32_t AddVisit(std::uint32_t address, std::uint32_t entry, double time);
  // Adds a page to a visit; its pages keep the order they are added in.
  void AddPage(std::int32_t visit, std::uint32_t page, double time);
  // Groups the pages by visit; the queries below need it after the last page was added.
  void Finish();

  int Count() const { return static_cast<int>(FVisits.size()); }
  TNode Address(int visit) const;
  TNode Entry(int visit) const;  // at the visit's time
  int PageCount(int visit) const;
  TNode Page(int visit, int index) const;

  // The first visit holding a node of exactly this text and time, -1 when none does.
  int FindVisit(std::string_view text, double time) const;
  // The visit's nodes (address, entry, pages) ordered by time, equal times in that order.
  void ListPath(int visit, std::vector<TPathRow>& rows) const;

  std::size_t MemoryUsage() const;

private:
  struct TVisit {
    double Time;
    std::uint32_t Address;
    std::uint32_t Entry;
  };
  struct TPage {
    double Time;
    std::uint32_t Text;
    std::int32_t Visit;
  };

  const TPage& PageAt(int visit, int index) const;
  std::uint32_t TimeOrderAt(std::size_t i) const { return FByTime.empty() ? static_cast<std::uint32_t>(i) : FByTime[i]; }

  TStringPool FTexts;
  std::vector<TVisit> FVisits;
  std::vector<TPage> FPages;           // in the order added
  std::vector<std::uint32_t> FGrouped;  // page numbers grouped by visit, each group in added order
  std::vector<std::uint32_t> FFirst;    // per visit its first place in FGrouped; one more at the end
  std::vector<std::uint32_t> FByTime;   // page numbers by time; empty while the pages came so
};
