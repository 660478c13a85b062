#include "analyses/PageRule.h"

#include "base/AsciiText.h"

std::string_view PageOfRequest(std::string_view request) {
  constexpr std::size_t FirstPageIndex = 4;  // the 5th character
  std::size_t http = request.find("HTTP");
  // The page ends two characters before "HTTP": the blank before it is not part of it.
  if (http == std::string_view::npos || http < FirstPageIndex + 2) return {};
  return request.substr(FirstPageIndex, http - 1 - FirstPageIndex);
}

TNotShownFilter::TNotShownFilter(const std::vector<std::string>& entries) {
  for (const auto& entry : entries)
    if (!entry.empty()) FEntries.push_back(LowerAscii(entry));
}

bool TNotShownFilter::Hides(std::string_view request) const {
  for (const auto& entry : FEntries)
    if (ContainsLoweredAscii(request, entry)) return true;
  return false;
}
