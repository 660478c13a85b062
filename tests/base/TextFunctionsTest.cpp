#include <gtest/gtest.h>

#include "base/TextFunctions.h"
#include "config/WSGlobal.h"

TEST(TextFunctions, DecodeEscapes) {
  struct TCase {
    const char* Text;
    const char* OnlyChar;
    const char* Expected;
  };
  const TCase cases[] = {
      {"a%20b", "", "a b"},
      {"%4a%4A", "", "JJ"},
      {"%41%42", "B", "%41B"},
      {"%41%42", "", "AB"},
      {"%2B%2b", "+", "++"},
      {"no escapes", "", "no escapes"},
      // Not two hex digits: the escape is consumed but kept as written.
      {"100%", "", "100%"},
      {"%4", "", "%4"},
      {"%zz%41", "", "%zzA"},
      {"%%41", "", "%%41"},
      {"a%C3%A9", "", "a\xC3\xA9"},
  };
  for (const TCase& c : cases) EXPECT_EQ(DecodeEscapes(c.Text, c.OnlyChar), c.Expected) << c.Text;
  EXPECT_EQ(DecodeAllEscapes("%00x"), std::string("\0x", 2));
  EXPECT_EQ(DecodeAllEscapes("%4a%4A"), "JJ");
}

TEST(TextFunctions, ReplaceFirstAndAll) {
  EXPECT_EQ(ReplaceFirst("a+b+c", "+", " "), "a b+c");
  EXPECT_EQ(ReplaceFirst("abc", "x", "y"), "abc");
  EXPECT_EQ(ReplaceFirst("abc", "", "y"), "abc");
  EXPECT_EQ(ReplaceAll("a+b+c", "+", " "), "a b c");
  EXPECT_EQ(ReplaceAll("a     b  c", "  ", " "), "a b c");  // cascades
  EXPECT_EQ(ReplaceAll("aaab", "ab", "b"), "b");               // cascades leftwards
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  // A replacement that holds its search would repeat for ever.
  EXPECT_EQ(ReplaceAll("a+b", "+", "++"), "a+b");
  EXPECT_EQ(ReplaceAll("xabab", "ab", "b"), "xbb");
  EXPECT_EQ(ReplaceAll("aab", "ab", "ba"), "baa");  // a cascade rightwards, within the limit
}

// Found with the search-phrase fuzz target: "ab" -> "bba" moves each "a" rightwards past the "b"s while doubling
// them, so 24 letters grew to 2^24 and more. Such a cascade gives up and leaves the text.
TEST(TextFunctions, ReplaceAllStopsACascadeThatGrowsTheText) {
  const std::string text = std::string(24, 'a') + "b";
  EXPECT_EQ(ReplaceAll(text, "ab", "bba"), text);
  EXPECT_EQ(ReplaceAll("ab", "ab", "bba"), "bba");
  EXPECT_EQ(ReplaceAll("aab", "ab", "bba"), "bbbbaa");
  // Long cascades that shrink the text still run to their end.
  EXPECT_EQ(ReplaceAll(std::string(5000, ' '), "  ", " "), " ");
  EXPECT_EQ(ReplaceAll(std::string(5000, 'a') + "b", "ab", "b"), "b");
}

TEST(TextFunctions, ApplyReplaceTable) {
  EXPECT_EQ(ApplyReplaceTable("q=%2B", {}), "q=%2B");
  // The row decodes its character's escapes, then replaces it.
  EXPECT_EQ(ApplyReplaceTable("a%2Bb+c", {{"+", "+", " "}}), "a b c");
  // Rows apply in order; an empty HexChar decodes every escape.
  EXPECT_EQ(ApplyReplaceTable("%41+%2C", {{"", ",", ";"}, {"", "+", "_"}}), "A_;");
  // A row whose replacement holds its search is skipped whole, the rows after it still apply.
  EXPECT_EQ(ApplyReplaceTable("x%41y", {{"", "x", "xx"}, {"A", "y", "z"}}), "xAz");
}
