#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analyses/CountedStrings.h"
#include "analyses/TextCompare.h"

TEST(TextCompare, FoldsAsciiAndCommonLetters) {
  struct TCase {
    const char* A;
    const char* B;
    bool Equal;
  };
  const TCase cases[] = {
      {"Foo", "fOO", true},
      {"foo", "foo ", false},
      {"", "", true},
      {"\xC3\x84rger", "\xC3\xA4RGER", true},         // Ärger / ärger
      {"\xC5\x81\xC3\xB3" "dz", "\xC5\x82\xC3\x93" "DZ", true},  // Łódz / łÓDZ
      {"\xD0\x9C\xD0\x98\xD0\xA0", "\xD0\xBC\xD0\xB8\xD1\x80", true},  // МИР / мир
      {"\xCE\xA3", "\xCF\x83", true},                // Σ / σ
      {"\xC3\x97", "\xC3\xB7", false},               // × is no letter
      {"\xC4\xB0", "i", false},                      // İ stays apart
      {"caf\xE9", "CAF\xC9", false},                 // single-byte text: only A-Z fold
      {"caf\xE9", "CAF\xE9", true},
      // Longer texts are compared eight ASCII bytes at a time; letters at either end of such
      // a block, and blocks broken by a letter beyond ASCII.
      {"/Docs/V4/API-48.HTML", "/docs/v4/api-48.html", true},
      {"/docs/v4/api-48.html", "/docs/v4/api-49.html", false},
      {"@[`{AZaz@[`{AZaz", "@[`{azAZ@[`{azaz", true},
      {"@[`{AZaz", "`{@[AZaz", false},              // neighbours of A-Z do not fold
      {"abcdefg\xC3\x84rgerNISSE", "ABCDEFG\xC3\xA4RGERnisse", true},
      {"abcdefg\xC3\x84rgerNISSE", "ABCDEFGH\xA4RGERnisse", false},
  };
  // Views of nothing (an empty request field) have no data at all.
  EXPECT_TRUE(EqualFolded(std::string_view(), std::string_view()));
  for (const auto& c : cases) {
    EXPECT_EQ(EqualFolded(c.A, c.B), c.Equal) << c.A << " / " << c.B;
    if (c.Equal) {
      EXPECT_EQ(HashFolded(c.A), HashFolded(c.B)) << c.A;
    }
  }
}

TEST(TextCompare, OrdersFoldedTextsByCodePoint) {
  EXPECT_LT(CompareFolded("apple", "Banana"), 0);
  EXPECT_GT(CompareFolded("b", "A"), 0);
  EXPECT_LT(CompareFolded("ab", "ABC"), 0);
  EXPECT_LT(CompareFolded("zebra", "\xC3\x84rger"), 0);  // letters beyond ASCII come after z
  EXPECT_LT(CompareFolded("\xC3\xBF", "\xE2\x82\xAC"), 0);  // ÿ before €
  // Long texts are compared eight bytes at a time where both are ASCII; the result must be
  // the same wherever the first difference falls and whatever the letter case.
  struct TCase {
    const char* A;
    const char* B;
    int Sign;
  };
  const TCase cases[] = {
      {"/blog/2017/01/post-12.html", "/BLOG/2017/01/POST-12.HTML", 0},
      {"/blog/2017/01/post-12.html", "/BLOG/2017/01/post-13.html", -1},
      {"/blog/2017/02/post-12.html", "/blog/2017/01/post-13.html", 1},
      {"/products/", "/PRODUCTS/item", -1},  // a prefix sorts first
      {"/abcdefg", "/ABCDEFGH", -1},
      {"/news/_x.html", "/news/Ax.html", -1},  // "A" is read as "a", which follows "_"
      {"/caf\xC3\xA9/menu.html", "/CAF\xC3\x89/MENU.HTML", 0},
      {"/abcdefgh\xC3\xA9", "/abcdefghz", 1},
      {"/abcdefgh/\xFF/x", "/ABCDEFGH/\xFE/y", 1},
  };
  for (const TCase& c : cases) {
    const int ab = CompareFolded(c.A, c.B), ba = CompareFolded(c.B, c.A);
    EXPECT_EQ((ab > 0) - (ab < 0), c.Sign) << c.A << " " << c.B;
    EXPECT_EQ((ba > 0) - (ba < 0), -c.Sign) << c.B << " " << c.A;
  }
}

TEST(CountedStrings, CountsWithoutLetterCaseAndKeepsTheFirstSpelling) {
  TCountedStrings counts;
  for (const char* value : {"foo", "Foo", "FOO", "foo ", "", "Bar", "\xC3\x84pfel", "\xC3\xA4pfel"})
    counts.Add(value);
  EXPECT_EQ(counts.Size(), 5u);
  EXPECT_EQ(counts.CountOf("fOo"), 3);
  EXPECT_EQ(counts.CountOf("missing"), 0);

  std::vector<std::string> texts;
  std::vector<int> sums;
  for (const auto& entry : counts.Sorted()) {
    texts.emplace_back(entry.Text);
    sums.push_back(entry.Count);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"", "Bar", "foo", "foo ", "\xC3\x84pfel"}));
  EXPECT_EQ(sums, (std::vector<int>{1, 1, 3, 1, 2}));
}

TEST(CountedStrings, KeepsTextsLargerThanTheBlocksTextsAreKeptIn) {
  TCountedStrings counts;
  const std::string huge(100000, 'x');
  counts.Add("a");
  counts.Add(huge);
  counts.Add(std::string(100000, 'X'));
  counts.Add("b");
  EXPECT_EQ(counts.CountOf(huge), 2);
  EXPECT_EQ(counts.CountOf("A"), 1);
  EXPECT_EQ(counts.Sorted().back().Text, huge);
}

// Sorting first by a key of the leading bytes must give CompareFolded's order: texts with long
// common beginnings, letters beyond ASCII, raw bytes, NULs and ends at every place.
TEST(CountedStrings, SortsInTheOrderOfCompareFolded) {
  const std::string units[] = {"a", "B", "/", "_", "0", std::string(1, '\0'), "\xC3\xA9", "\xC3\x89", "\xFF", "z"};
  std::mt19937 random(7);
  TCountedStrings counts;
  for (int i = 0; i < 3000; ++i) {
    std::string text = i % 2 == 0 ? "/blog/2017/01/post-" : "";
    for (int n = static_cast<int>(random() % 30); n > 0; --n) text += units[random() % std::size(units)];
    counts.Add(text);
  }
  const auto sorted = counts.Sorted();
  ASSERT_EQ(sorted.size(), counts.Size());
  for (std::size_t i = 1; i < sorted.size(); ++i)
    ASSERT_LT(CompareFolded(sorted[i - 1].Text, sorted[i].Text), 0) << i;
}
