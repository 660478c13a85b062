#pragma once
// Finds, in one pass over a text, which of many literal texts it contains; each literal names
// the rules that need it (see PatternPrefilter.h). Literals are keyed by their first three bytes
// in ASCII lower case: a text of n bytes costs n - 2 probes of a bit table, and a comparison
// only where a probe hits. Built once, then only read; finding allocates nothing beyond the
// caller's vector.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TLiteralIndex {
public:
  static constexpr std::size_t KeyLength = 3;

  TLiteralIndex();
  // literal: at least KeyLength bytes; caseless: compared without ASCII letter case.
  void Add(std::string_view literal, bool caseless, std::uint32_t rule);
  // Appends to rules every rule one of whose literals occurs in text; the appended part is
  // ascending and holds no rule twice.
  void Find(std::string_view text, std::vector<std::uint32_t>& rules) const;
  std::size_t Size() const { return FLiterals.size(); }

private:
  struct TLiteral {
    std::string Text;
    bool Caseless = false;
    std::vector<std::uint32_t> Rules;
  };
  static std::uint32_t KeyAt(const char* text);
  static std::uint32_t BitOf(std::uint32_t key) { return (key * 2654435761u) >> 16; }

  std::vector<TLiteral> FLiterals;
  std::unordered_map<std::string, std::uint32_t> FByText;             // text + case mark -> literal
  std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> FByKey;  // key -> literals
  std::vector<std::uint64_t> FBits;                                    // keys present, hashed to 16 bits
};
