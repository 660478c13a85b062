#include "agents/PatternPrefilter.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cctype>
#include <limits>
#include <optional>
#include <utility>

namespace {

constexpr std::size_t MaxTexts = 16;         // texts of one exact set
constexpr std::size_t MaxAlternatives = 256;  // texts of one requirement
constexpr std::size_t MaxTextLength = 64;
constexpr std::size_t MinWidened = 5;  // shorter bounds cost little to compile
constexpr int MaxWiderGroups = 31;
constexpr std::size_t Unbounded = std::numeric_limits<std::size_t>::max();

// Words that nearly every browser's agent holds: a requirement made of them alone lets almost
// every agent through, so another text of the pattern is chosen where there is one.
constexpr std::array<std::string_view, 17> CommonWords = {
    "Mozilla", "AppleWebKit", "KHTML", "like Gecko", "Gecko",    "Safari", "Mobile", "compatible", "Windows",
    "Linux",   "Android",     "Version", "Chrome",  "Build", "Mac OS X", "iPhone", "CPU",
};

// What is known of a part of a pattern: the texts it matches exactly, when they are few, and
// texts of which each of its matches contains one.
struct TInfo {
  bool HasExact = false;
  std::vector<std::string> Exact;  // sorted, unique
  bool Any = true;                 // no requirement
  std::vector<std::string> Required;
  bool OneCharacter = false;  // a literal, a class, an escape like \d, or "."
  mutable int ScoreOf = NoScore;  // Score, once it was asked for
  static constexpr int NoScore = -2;
};

TInfo ExactOf(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
  TInfo info;
  info.HasExact = true;
  info.Exact = std::move(texts);
  return info;
}

TInfo Unknown() { return TInfo(); }

TInfo OneCharacter(TInfo info) {
  info.OneCharacter = true;
  return info;
}

// The requirement of a part: its exact texts, unless one of them is empty.
TInfo RequirementOf(const TInfo& info) {
  if (!info.HasExact) return info;
  TInfo result;
  for (const std::string& text : info.Exact)
    if (text.empty()) return result;
  result.Any = false;
  for (const std::string& text : info.Exact) result.Required.push_back(text.substr(0, MaxTextLength));
  return result;
}

// How well a requirement sorts agents out: the bytes of its weakest text that no common word
// covers count four times, the others once; -1 for none or for a text too short to look up.
int Score(const TInfo& requirement) {
  if (requirement.Any) return -1;
  if (requirement.ScoreOf != TInfo::NoScore) return requirement.ScoreOf;
  int& score = requirement.ScoreOf;
  score = std::numeric_limits<int>::max();
  for (const std::string& text : requirement.Required) {
    if (text.size() < TPatternPrefilter::MinLength) return score = -1;
    std::bitset<MaxTextLength> covered;
    for (std::string_view word : CommonWords)
      for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        for (std::size_t i = at; i < at + word.size(); ++i) covered.set(i);
    const int own = static_cast<int>(text.size() - covered.count());
    score = std::min(score, own * 4 + static_cast<int>(covered.count()));
  }
  return score;
}

const TInfo& Better(const TInfo& a, const TInfo& b) {
  const int sa = Score(a), sb = Score(b);
  if (sa != sb) return sa > sb ? a : b;
  return a.Required.size() <= b.Required.size() ? a : b;
}

// The texts of a followed by those of b, when they stay few and short enough.
std::optional<TInfo> JoinExact(const TInfo& a, const TInfo& b) {
  if (a.Exact.size() * b.Exact.size() > MaxTexts) return std::nullopt;
  std::vector<std::string> texts;
  for (const std::string& x : a.Exact)
    for (const std::string& y : b.Exact) {
      texts.push_back(x + y);
      if (texts.back().size() > MaxTextLength) return std::nullopt;
    }
  return ExactOf(std::move(texts));
}

// A sequence: runs of exact parts are joined into longer texts ("(Chrome)/" into "Chrome/"),
// and the best requirement of any run or other part is the sequence's.
TInfo Concat(const std::vector<TInfo>& parts) {
  TInfo best;
  TInfo run = ExactOf({""});
  bool whole = true;  // the whole sequence is one run
  for (const TInfo& part : parts) {
    if (part.HasExact) {
      if (std::optional<TInfo> joined = JoinExact(run, part)) {
        run = std::move(*joined);
        continue;
      }
      best = Better(best, RequirementOf(run));
      run = part;
    } else {
      best = Better(best, RequirementOf(run));
      best = Better(best, part);
      run = ExactOf({""});
    }
    whole = false;
  }
  return whole ? run : Better(best, RequirementOf(run));
}

TInfo Alternate(const std::vector<TInfo>& parts) {
  std::size_t exactCount = 0;
  bool allExact = true;
  for (const TInfo& part : parts) {
    allExact = allExact && part.HasExact;
    exactCount += part.Exact.size();
  }
  if (allExact && exactCount <= MaxTexts) {
    std::vector<std::string> texts;
    for (const TInfo& part : parts) texts.insert(texts.end(), part.Exact.begin(), part.Exact.end());
    return ExactOf(std::move(texts));
  }
  TInfo result;
  result.Any = false;
  for (const TInfo& part : parts) {
    const TInfo requirement = RequirementOf(part);
    if (requirement.Any) return Unknown();
    result.Required.insert(result.Required.end(), requirement.Required.begin(), requirement.Required.end());
  }
  if (result.Required.size() > MaxAlternatives) return Unknown();
  return result;
}

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
bool IsAlnum(char c) { return IsAscii(c) && std::isalnum(static_cast<unsigned char>(c)); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A recursive descent over the pattern. Anything it does not follow sets Failed, and the
// pattern then has neither texts nor a wider form.
class TPatternScan {
public:
  TPatternScan(std::string_view pattern, bool caseless) : FText(pattern), FCaseless(caseless) {}

  TPatternPrefilter Run() {
    const TInfo root = RequirementOf(Alternation());
    TPatternPrefilter result;
    if (FFailed || FPos != FText.size()) {
      result.Caseless = FCaseless;
      return result;
    }
    result.Caseless = FCaseless;
    if (Score(root) >= 0) {
      // A text that holds another of the set adds nothing: an agent with it holds the other.
      for (const std::string& text : root.Required) {
        const auto within = [&](const std::string& other) {
          return other != text && text.find(other) != std::string::npos;
        };
        if (std::none_of(root.Required.begin(), root.Required.end(), within)) result.Texts.push_back(text);
      }
      std::sort(result.Texts.begin(), result.Texts.end());
      result.Texts.erase(std::unique(result.Texts.begin(), result.Texts.end()), result.Texts.end());
    }
    MakeWider(result);
    return result;
  }

private:
  // A bounded repetition lifted in the wider pattern: "(" goes before the atom at Atom, and
  // the quantifier from Begin to End becomes By followed by ")".
  struct TWidened {
    std::size_t Atom, Begin, End;
    std::string By;
    std::size_t Max;
  };

  bool AtEnd() const { return FPos >= FText.size(); }
  char Peek(std::size_t ahead = 0) const { return FPos + ahead < FText.size() ? FText[FPos + ahead] : '\0'; }
  TInfo Fail() {
    FFailed = true;
    FPos = FText.size();
    return Unknown();
  }

  TInfo Alternation() {
    std::vector<TInfo> parts{Sequence()};
    while (!FFailed && !AtEnd() && Peek() == '|') {
      ++FPos;
      parts.push_back(Sequence());
    }
    return parts.size() == 1 ? parts[0] : Alternate(parts);
  }

  TInfo Sequence() {
    std::vector<TInfo> parts;
    std::string plain;  // plain characters in a row, taken as one part
    while (!FFailed && !AtEnd() && Peek() != '|' && Peek() != ')') {
      if (PlainCharacterAhead()) {
        plain += FText[FPos++];
        continue;
      }
      if (!plain.empty()) parts.push_back(ExactOf({std::exchange(plain, {})}));
      const std::size_t atom = FPos;
      parts.push_back(Repeated(Atom(), atom));
    }
    if (!plain.empty()) parts.push_back(ExactOf({plain}));
    return Concat(parts);
  }

  // A character that stands for itself and is not repeated.
  bool PlainCharacterAhead() const {
    const char c = Peek();
    if (std::string_view("()[].^$\\|*+?{").find(c) != std::string_view::npos) return false;
    if (!IsAscii(c) && FCaseless) return false;
    const char next = Peek(1);
    return !(next == '*' || next == '+' || next == '?' || (next == '{' && RepetitionAt(FPos + 1)));
  }

  TInfo Atom() {
    const char c = FText[FPos++];
    switch (c) {
      case '(': return Group();
      case '[': return Class();
      case '.': return OneCharacter(Unknown());
      case '^':
      case '$': return ExactOf({""});
      case '\\': return Escape();
      case '*':
      case '+':
      case '?': return Fail();
      case '{':
        if (RepetitionAt(FPos - 1)) return Fail();
        return Literal(c);
      default: return Literal(c);
    }
  }

  TInfo Literal(char c) {
    if (!IsAscii(c) && FCaseless) return OneCharacter(Unknown());  // folded beyond ASCII
    return OneCharacter(ExactOf({std::string(1, c)}));
  }

  TInfo Group() {
    const std::size_t open = FPos - 1;
    bool capturing = true;
    if (Peek() == '?') {
      ++FPos;
      if (Peek() == 'P' && Peek(1) == '<') {
        FPos += 2;
        if (!SkipPast('>')) return Fail();
      } else if (Peek() == '<' && Peek(1) != '=' && Peek(1) != '!') {
        ++FPos;
        if (!SkipPast('>')) return Fail();
      } else {
        capturing = false;
        // Flags, alone "(?i)" or for a group "(?i:...)".
        while (!AtEnd() && (std::isalpha(static_cast<unsigned char>(Peek())) || Peek() == '-')) {
          if (Peek() == 'i') FCaseless = true;
          ++FPos;
        }
        if (Peek() == ')' && FText[FPos - 1] != '?') {
          ++FPos;
          return ExactOf({""});
        }
        if (Peek() != ':') return Fail();  // look-arounds and the like
        ++FPos;
      }
    }
    if (capturing) FGroupOpens.push_back(open);
    TInfo inner = Alternation();
    if (FFailed || Peek() != ')') return Fail();
    ++FPos;
    return inner;
  }

  bool SkipPast(char end) {
    const std::size_t at = FText.find(end, FPos);
    if (at == std::string_view::npos) return false;
    FPos = at + 1;
    return true;
  }

  // A bracket class; a few plain characters ("[wW]", "[bB]") count as their exact texts.
  TInfo Class() {
    bool plain = true;
    if (Peek() == '^') {
      plain = false;
      ++FPos;
    }
    std::string members;
    bool first = true;
    for (;;) {
      if (AtEnd()) return Fail();
      const char c = Peek();
      if (c == ']' && !first) {
        ++FPos;
        break;
      }
      first = false;
      if (c == '[' && Peek(1) == ':') {
        const std::size_t end = FText.find(":]", FPos + 2);
        if (end == std::string_view::npos) return Fail();
        FPos = end + 2;
        plain = false;
      } else if (c == '\\') {
        const char e = Peek(1);
        if (e == '\0') return Fail();
        FPos += 2;
        if (IsAlnum(e)) {
          plain = false;
          if ((e == 'p' || e == 'P' || e == 'x') && Peek() == '{' && !SkipPast('}')) return Fail();
        } else {
          members += e;
        }
      } else if (c == '-' && !members.empty() && Peek(1) != ']') {
        plain = false;  // a range
        ++FPos;
      } else {
        members += c;
        ++FPos;
      }
    }
    if (!plain || members.empty() || members.size() > 4) return OneCharacter(Unknown());
    std::vector<std::string> texts;
    for (char m : members) {
      if (!IsAscii(m)) return OneCharacter(Unknown());
      texts.emplace_back(1, m);
    }
    return OneCharacter(ExactOf(std::move(texts)));
  }

  TInfo Escape() {
    if (AtEnd()) return Fail();
    const char e = FText[FPos++];
    if (IsDigit(e)) return Fail();  // back references and octal escapes
    switch (e) {
      case 'd': case 'D': case 's': case 'S': case 'w': case 'W': case 'C':
      case 'n': case 't': case 'r': case 'f': case 'v': case 'a':
        return OneCharacter(Unknown());
      case 'b': case 'B': case 'A': case 'z':
        return ExactOf({""});
      case 'p': case 'P':
        if (Peek() == '{') {
          if (!SkipPast('}')) return Fail();
        } else if (!AtEnd()) {
          ++FPos;
        }
        return OneCharacter(Unknown());
      case 'x':
        if (Peek() == '{') {
          if (!SkipPast('}')) return Fail();
        } else {
          FPos = std::min(FPos + 2, FText.size());
        }
        return OneCharacter(Unknown());
      default:
        if (IsAlnum(e)) return Fail();
        return Literal(e);
    }
  }

  struct TRepetition {
    std::size_t Min = 0, Max = 0, End = 0;  // End: the position after the closing brace
  };

  // "{n}", "{n,}" or "{n,m}" at position at; anything else there is a plain "{".
  std::optional<TRepetition> RepetitionAt(std::size_t at) const {
    TRepetition r;
    std::size_t i = at + 1;
    const auto number = [&](std::size_t& value) {
      const std::size_t from = i;
      for (value = 0; i < FText.size() && IsDigit(FText[i]); ++i)
        value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(FText[i] - '0'), 100000);
      return i > from;
    };
    if (!number(r.Min) || i >= FText.size()) return std::nullopt;
    r.Max = r.Min;
    if (FText[i] == ',') {
      ++i;
      if (!number(r.Max)) r.Max = Unbounded;
    }
    if (i >= FText.size() || FText[i] != '}') return std::nullopt;
    r.End = i + 1;
    return r;
  }

  TInfo Repeated(TInfo atom, std::size_t atomBegin) {
    if (FFailed || AtEnd()) return atom;
    const std::size_t begin = FPos;
    TRepetition r;
    const char c = Peek();
    if (c == '*' || c == '+' || c == '?') {
      ++FPos;
      r.Min = c == '+' ? 1 : 0;
      r.Max = c == '?' ? 1 : Unbounded;
    } else if (const auto braces = c == '{' ? RepetitionAt(FPos) : std::nullopt) {
      r = *braces;
      FPos = r.End;
    } else {
      return atom;
    }
    const bool lazy = Peek() == '?';
    if (lazy) ++FPos;
    if (atom.OneCharacter && r.Min <= 1 && r.Max != Unbounded && r.Max >= MinWidened)
      FWidened.push_back({atomBegin, begin, FPos, std::string(r.Min == 0 ? "*" : "+") + (lazy ? "?" : ""), r.Max});
    if (r.Min == 0) {
      if (r.Max == 1 && atom.HasExact) {
        atom.Exact.push_back("");
        return ExactOf(atom.Exact);
      }
      return Unknown();
    }
    if (r.Min == 1 && r.Max == 1) return atom;
    return RequirementOf(atom);
  }

  // The wider pattern, and the numbers of its groups: in the order their "(" stand in it.
  void MakeWider(TPatternPrefilter& result) const {
    const int groups = static_cast<int>(FGroupOpens.size() + FWidened.size());
    if (FWidened.empty() || groups > MaxWiderGroups) return;
    std::string wider;
    std::size_t from = 0;
    for (const TWidened& w : FWidened) {  // in the order of the text: single characters hold no group
      wider.append(FText.substr(from, w.Atom - from));
      wider += '(';
      wider.append(FText.substr(w.Atom, w.Begin - w.Atom));
      wider += w.By + ")";
      from = w.End;
    }
    wider.append(FText.substr(from));
    result.Wider = std::move(wider);
    result.WiderGroupCount = groups;
    result.WiderGroup.assign(1, 0);
    int number = 0;
    std::size_t o = 0, w = 0;
    while (o < FGroupOpens.size() || w < FWidened.size()) {
      ++number;
      if (w == FWidened.size() || (o < FGroupOpens.size() && FGroupOpens[o] < FWidened[w].Atom)) {
        result.WiderGroup.push_back(number);
        ++o;
      } else {
        result.Bounds.push_back({number, FWidened[w].Max});
        ++w;
      }
    }
  }

  std::string_view FText;
  bool FCaseless;
  std::size_t FPos = 0;
  bool FFailed = false;
  std::vector<std::size_t> FGroupOpens;  // positions of the capturing groups' "("
  std::vector<TWidened> FWidened;
};

}  // namespace

TPatternPrefilter PrefilterOf(std::string_view pattern, bool caseless) { return TPatternScan(pattern, caseless).Run(); }
