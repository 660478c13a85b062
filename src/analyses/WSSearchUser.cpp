#include "analyses/WSSearchUser.h"

#include "log/W2SearchPat.h"

namespace {

// Log times are whole seconds; this absorbs the rounding of day fractions so that a gap of
// exactly the time area continues the visit.
constexpr double TimeTolerance = 0.001 / 86400.0;

}  // namespace

bool TSearchUser::IsNewVisitor(const std::string& line, TDSearchPattern& parser) {
  const double dateTime = parser.GetDateTime(line);
  return IsNewVisitor(parser.GetField(line, TFieldKind::IP), dateTime);
}

bool TSearchUser::IsNewVisitor(std::string_view address, double dateTime) {
  const auto it = FUsers.find(address);
  if (it == FUsers.end()) {
    FUsers.emplace(std::string(address), dateTime);
    return true;
  }
  const bool isNew = !(it->second + FTimeArea + TimeTolerance >= dateTime);
  it->second = dateTime;
  return isNew;
}
