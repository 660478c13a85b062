#include "analyses/HostName.h"

#include <algorithm>

namespace {

bool IsByteNumber(std::string_view part) {
  if (part.empty()) return false;
  int value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 255) return false;
  }
  return true;
}

}  // namespace

bool IsIPv4Address(std::string_view text) {
  if (std::count(text.begin(), text.end(), '.') != 3) return false;
  std::size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    std::size_t dot = part < 3 ? text.find('.', start) : text.size();
    if (!IsByteNumber(text.substr(start, dot - start))) return false;
    start = dot + 1;
  }
  return true;
}

std::string_view ShortHostName(std::string_view name) {
  std::size_t last = name.rfind('.');
  if (last == std::string_view::npos || last == 0) return name;
  std::size_t before = name.rfind('.', last - 1);
  if (before == std::string_view::npos) return name;
  return name.substr(before + 1);
}
