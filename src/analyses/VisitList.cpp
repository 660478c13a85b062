#include "analyses/VisitList.h"

#include <algorithm>
#include <limits>
#include <numeric>

void TVisitList::Clear() {
  FTexts.Clear();
  FVisits = {};
  FPages = {};
  FGrouped = {};
  FFirst = {};
  FByTime = {};
}

std::int32_t TVisitList::AddVisit(std::uint32_t address, std::uint32_t entry, double time) {
  FVisits.push_back({time, address, entry});
  return static_cast<std::int32_t>(FVisits.size() - 1);
}

void TVisitList::AddPage(std::int32_t visit, std::uint32_t page, double time) {
  FPages.push_back({time, page, visit});
}

// A counting sort of the page numbers by visit, and the time order when the pages did not
// come in it.
void TVisitList::Finish() {
  FFirst.assign(FVisits.size() + 1, 0);
  for (const TPage& page : FPages) ++FFirst[static_cast<std::size_t>(page.Visit) + 1];
  std::partial_sum(FFirst.begin(), FFirst.end(), FFirst.begin());
  FGrouped.resize(FPages.size());
  std::vector<std::uint32_t> next(FFirst.begin(), FFirst.end() - 1);
  for (std::uint32_t i = 0; i < FPages.size(); ++i) FGrouped[next[static_cast<std::size_t>(FPages[i].Visit)]++] = i;

  auto earlier = [this](std::uint32_t a, std::uint32_t b) { return FPages[a].Time < FPages[b].Time; };
  FByTime.clear();
  const bool inTimeOrder = std::is_sorted(FPages.begin(), FPages.end(),
                                          [](const TPage& a, const TPage& b) { return a.Time < b.Time; });
  if (!inTimeOrder) {
    FByTime.resize(FPages.size());
    std::iota(FByTime.begin(), FByTime.end(), 0u);
    std::stable_sort(FByTime.begin(), FByTime.end(), earlier);
  }
}

TVisitList::TNode TVisitList::Address(int visit) const {
  const TVisit& v = FVisits[static_cast<std::size_t>(visit)];
  return {FTexts.Text(v.Address), v.Time};
}

TVisitList::TNode TVisitList::Entry(int visit) const {
  const TVisit& v = FVisits[static_cast<std::size_t>(visit)];
  return {FTexts.Text(v.Entry), v.Time};
}

int TVisitList::PageCount(int visit) const {
  const auto v = static_cast<std::size_t>(visit);
  return static_cast<int>(FFirst[v + 1] - FFirst[v]);
}

const TVisitList::TPage& TVisitList::PageAt(int visit, int index) const {
  return FPages[FGrouped[FFirst[static_cast<std::size_t>(visit)] + static_cast<std::uint32_t>(index)]];
}

TVisitList::TNode TVisitList::Page(int visit, int index) const {
  const TPage& page = PageAt(visit, index);
  return {FTexts.Text(page.Text), page.Time};
}

// Only the pages of that time can hold such a node: themselves, and the address and entry of
// the visits they begin (a visit's time is that of its first page).
int TVisitList::FindVisit(std::string_view text, double time) const {
  std::uint32_t id = 0;
  if (!FTexts.Find(text, id)) return -1;
  const std::size_t count = FPages.size();
  std::size_t low = 0, high = count;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (FPages[TimeOrderAt(middle)].Time < time)
      low = middle + 1;
    else
      high = middle;
  }
  int found = std::numeric_limits<int>::max();
  for (std::size_t i = low; i < count; ++i) {
    const TPage& page = FPages[TimeOrderAt(i)];
    if (page.Time != time) break;
    if (page.Visit >= found) continue;
    const TVisit& visit = FVisits[static_cast<std::size_t>(page.Visit)];
    if (page.Text == id || (visit.Time == time && (visit.Address == id || visit.Entry == id))) found = page.Visit;
  }
  return found == std::numeric_limits<int>::max() ? -1 : found;
}

void TVisitList::ListPath(int visit, std::vector<TPathRow>& rows) const {
  rows.clear();
  const TNode address = Address(visit);
  const TNode entry = Entry(visit);
  rows.push_back({0, address.Text, address.Time, false, 0});
  rows.push_back({1, entry.Text, entry.Time, false, 0});
  const int pages = PageCount(visit);
  for (int i = 0; i < pages; ++i) {
    const TNode page = Page(visit, i);
    rows.push_back({static_cast<std::uint32_t>(i + 2), page.Text, page.Time, false, 0});
  }
  auto earlier = [](const TPathRow& a, const TPathRow& b) { return a.Time < b.Time; };
  if (!std::is_sorted(rows.begin(), rows.end(), earlier)) std::stable_sort(rows.begin(), rows.end(), earlier);
  for (std::size_t row = 1; row + 1 < rows.size(); ++row) {
    const double next = rows[row + 1].Time;
    if (next == 0) continue;
    rows[row].HasTimeViewed = true;
    rows[row].TimeViewed = next - rows[row].Time;
  }
}

std::size_t TVisitList::MemoryUsage() const {
  return FTexts.MemoryUsage() + FVisits.capacity() * sizeof(TVisit) + FPages.capacity() * sizeof(TPage) +
         (FGrouped.capacity() + FFirst.capacity() + FByTime.capacity()) * sizeof(std::uint32_t);
}
