#pragma once
// Pages of requests: the rule that cuts the page out of a request text, and the not-shown
// filter that leaves requests out of the page ranking and the visitor paths.
#include <string>
#include <string_view>
#include <vector>

// The page of a request: from its 5th character up to two characters before the first
// "HTTP" (letter case as written); empty when "HTTP" is missing or starts before the 7th.
// 'GET /index.html HTTP/1.1' gives '/index.html'; 'HEAD /a.html HTTP/1.0' gives ' /a.html'.
std::string_view PageOfRequest(std::string_view request);

// The not-shown list in the form its per-line test needs: entries lowered once, so a
// request is tested in place without a lowered copy.
class TNotShownFilter {
public:
  TNotShownFilter() = default;
  explicit TNotShownFilter(const std::vector<std::string>& entries);

  // Whether an entry occurs in the request, letters A to Z in either case.
  bool Hides(std::string_view request) const;

private:
  std::vector<std::string> FEntries;  // lowered; empty entries are left out, they hide nothing
};
