// ASCII letter case (A to Z only) and trimming.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/AsciiText.h"

TEST(AsciiText, ComparesLetterCaseOfAToZOnly) {
  EXPECT_TRUE(SameTextAscii("Date", "dATE"));
  EXPECT_FALSE(SameTextAscii("Date", "Dates"));
  EXPECT_FALSE(SameTextAscii("\xC3\x84", "\xC3\xA4"));  // Ä and ä differ
  EXPECT_EQ(LowerAscii('Q'), 'q');
  EXPECT_EQ(LowerAscii('['), '[');
  // The order: lowered bytes, unsigned, a text before a longer one it begins.
  std::vector<std::string> names = {"b", "\xC3\xA4", "B2", "a", "A", "_x", "ab"};
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return LessTextAscii(a, b); });
  EXPECT_EQ(names, (std::vector<std::string>{"_x", "a", "A", "ab", "b", "B2", "\xC3\xA4"}));
}

TEST(AsciiText, SubstringFiltersLowerOnlyAToZ) {
  EXPECT_EQ(LowerAscii("GET /IMG.GIF \xC3\x84"), "get /img.gif \xC3\x84");
  struct TCase {
    const char* Text;
    const char* Pattern;  // as written by the user; lowered before the test
    bool Contains;
  };
  const TCase cases[] = {
      {"GET /PIC.GIF HTTP/1.0", ".gif", true},
      {"GET /pic.gif HTTP/1.0", ".GIF", true},
      {"search engines", "SEARCH", true},
      {"Foo", "oo", true},
      {"book", "oo", true},
      {"Bar", "oo", false},
      {"anything", "", false},
      {"", "", false},
      {"ab", "abc", false},
      {"xxab", "ab", true},
      {"\xC3\x84rger", "\xC3\xA4rger", false},  // Ä is not lowered
  };
  for (const auto& c : cases)
    EXPECT_EQ(ContainsLoweredAscii(c.Text, LowerAscii(c.Pattern)), c.Contains) << c.Text << " / " << c.Pattern;
}

TEST(AsciiText, TrimsWhatTheirNamesSay) {
  EXPECT_EQ(TrimSpaceAndControls(" \t10.0.0.1 \r\x01"), "10.0.0.1");
  EXPECT_EQ(TrimSpaceAndControls("   "), "");
  EXPECT_EQ(TrimSpacesAndTabs(" \t12 \t"), "12");
  EXPECT_EQ(TrimSpacesAndTabs("\r12\n"), "\r12\n");
}
