// Log text shown to a person: no control character reaches a terminal or a view as it is.
#include <gtest/gtest.h>

#include "base/VisibleText.h"

namespace {

struct TCase {
  const char* Text;
  const char* Escaped;  // EscapeControls
  const char* Shown;    // ShowControls
};

const TCase Cases[] = {
    {"plain /a?b=c", "plain /a?b=c", "plain /a?b=c"},
    {"M\xC3\xBCnchen \xE4\xB8\xAD", "M\xC3\xBCnchen \xE4\xB8\xAD", "M\xC3\xBCnchen \xE4\xB8\xAD"},
    // A terminal title, a cleared screen and a bell.
    {"\x1B]0;pwned\x07\x1B[2J", "\\x1B]0;pwned\\x07\\x1B[2J", "\xE2\x90\x9B]0;pwned\xE2\x90\x87\xE2\x90\x9B[2J"},
    // A line break that would fake a table row, and a tab.
    {"a\r\nb\tc", "a\\r\\nb\\tc", "a\xE2\x90\x8D\xE2\x90\x8A" "b\xE2\x90\x89" "c"},
    {"del\x7F", "del\\x7F", "del\xE2\x90\xA1"},
    // C1 as UTF-8 (U+009B, the one-byte CSI) and as a lone byte.
    {"c1\xC2\x9B", "c1\\u009B", "c1\\u009B"},
    {"lone\x9B", "lone\\x9B", "lone\\u009B"},
    {"latin\xFF", "latin\\xFF", "latin\xC3\xBF"},
    // Bidirectional override, isolate and marks: the text after them would read reversed.
    {"x\xE2\x80\xAEgpj.exe", "x\\u202Egpj.exe", "x\\u202Egpj.exe"},
    {"\xE2\x81\xA6i\xE2\x81\xA9\xE2\x80\x8F\xD8\x9C", "\\u2066i\\u2069\\u200F\\u061C", "\\u2066i\\u2069\\u200F\\u061C"},
    // Neighbours of the bidirectional controls are ordinary text.
    {"\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5", "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5", "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5"},
    {"back\\x1B", "back\\x1B", "back\\x1B"},
};

}  // namespace

TEST(VisibleTextTest, ControlsBecomeVisible) {
  for (const TCase& c : Cases) {
    SCOPED_TRACE(c.Escaped);
    EXPECT_EQ(EscapeControls(c.Text), c.Escaped);
    EXPECT_EQ(ShowControls(c.Text), c.Shown);
  }
}

TEST(VisibleTextTest, NulInsideTextIsEscaped) {
  EXPECT_EQ(EscapeControls(std::string_view("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(ShowControls(std::string_view("a\0b", 3)), "a\xE2\x90\x80" "b");
}

TEST(VisibleTextTest, EveryByteComesOutVisible) {
  // No single byte and no two-byte pair survives as a control.
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; second += 17) {
      const std::string text{static_cast<char>(first), static_cast<char>(second), 'z'};
      for (const std::string& out : {EscapeControls(text), ShowControls(text)}) {
        for (unsigned char c : out) ASSERT_FALSE(c < 0x20 || c == 0x7F) << first << " " << second;
        ASSERT_EQ(out.find("\xC2\x80"), std::string::npos);
        ASSERT_EQ(out.find("\xC2\x9B"), std::string::npos);
      }
    }
  }
}

TEST(VisibleTextTest, DisplayWidthCountsColumns) {
  EXPECT_EQ(DisplayWidth(""), 0u);
  EXPECT_EQ(DisplayWidth("/index.html"), 11u);
  EXPECT_EQ(DisplayWidth("M\xC3\xBCnchen"), 7u);          // two bytes, one column
  EXPECT_EQ(DisplayWidth("e\xCC\x81"), 1u);               // a combining accent takes none
  EXPECT_EQ(DisplayWidth("\xE4\xB8\xAD\xE6\x96\x87"), 4u);  // wide characters take two
  EXPECT_EQ(DisplayWidth(EscapeControls("\x1B[2J")), 7u);
}
