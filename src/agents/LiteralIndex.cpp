#include "agents/LiteralIndex.h"

#include <algorithm>
#include <cstring>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualLowerAscii(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

TLiteralIndex::TLiteralIndex() : FBits(1u << 10, 0) {}

std::uint32_t TLiteralIndex::KeyAt(const char* text) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(Lower(text[0]))) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(Lower(text[1]))) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(Lower(text[2]))) << 16;
}

void TLiteralIndex::Add(std::string_view literal, bool caseless, std::uint32_t rule) {
  if (literal.size() < KeyLength) return;
  std::string name(literal);
  name += caseless ? '\1' : '\0';
  auto [found, added] = FByText.emplace(std::move(name), static_cast<std::uint32_t>(FLiterals.size()));
  if (added) {
    FLiterals.push_back({std::string(literal), caseless, {}});
    const std::uint32_t key = KeyAt(literal.data());
    FByKey[key].push_back(found->second);
    const std::uint32_t bit = BitOf(key);
    FBits[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  }
  std::vector<std::uint32_t>& rules = FLiterals[found->second].Rules;
  if (rules.empty() || rules.back() != rule) rules.push_back(rule);
}

void TLiteralIndex::Find(std::string_view text, std::vector<std::uint32_t>& rules) const {
  const std::size_t from = rules.size();
  for (std::size_t at = 0; at + KeyLength <= text.size(); ++at) {
    const std::uint32_t key = KeyAt(text.data() + at);
    const std::uint32_t bit = BitOf(key);
    if ((FBits[bit >> 6] & (std::uint64_t{1} << (bit & 63))) == 0) continue;
    const auto bucket = FByKey.find(key);
    if (bucket == FByKey.end()) continue;
    for (std::uint32_t index : bucket->second) {
      const TLiteral& literal = FLiterals[index];
      if (literal.Text.size() > text.size() - at) continue;
      const char* here = text.data() + at;
      const bool same = literal.Caseless ? EqualLowerAscii(here, literal.Text.data(), literal.Text.size())
                                         : std::memcmp(here, literal.Text.data(), literal.Text.size()) == 0;
      if (same) rules.insert(rules.end(), literal.Rules.begin(), literal.Rules.end());
    }
  }
  std::sort(rules.begin() + static_cast<std::ptrdiff_t>(from), rules.end());
  rules.erase(std::unique(rules.begin() + static_cast<std::ptrdiff_t>(from), rules.end()), rules.end());
}
