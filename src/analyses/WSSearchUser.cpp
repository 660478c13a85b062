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
  if (FLastLatest == nullptr || address != FLastAddress) {
    bool added = false;
    double& entry = FUsers.Get(address, dateTime, added);
    FLastAddress.assign(address);
    FLastLatest = &entry;
    if (added) return true;
  }
  double& latest = *FLastLatest;
  const bool isNew = !(latest + FTimeArea + TimeTolerance >= dateTime);
  latest = dateTime;
  return isNew;
}
