#include <gtest/gtest.h>

#include <random>
#include <string>

#include "JsonWriter.h"

// Texts are escaped eight bytes at a time where they are plain; every byte that needs an
// escape must be found wherever it stands in such a group.
TEST(JsonWriter, EscapesEveryByteThatNeedsItWhereverItStands) {
  struct TCase {
    std::string Text;
    std::string Json;
  };
  const TCase cases[] = {
      {"plain text of some length", "\"plain text of some length\""},
      {"1234567\"", "\"1234567\\\"\""},
      {"12345678\\9", "\"12345678\\\\9\""},
      {std::string("1234567\x1f" "abcdefgh", 16), "\"1234567\\u001fabcdefgh\""},
      {"12\x7f" "45678", "\"12\\u007f45678\""},
      {"line one\nline two\r\tend", "\"line one\\nline two\\r\\tend\""},
      {"caf\xC3\xA9 au lait, s'il vous pla\xC3\xAEt", "\"caf\xC3\xA9 au lait, s'il vous pla\xC3\xAEt\""},
      {"abcdefg\xFF" "abcdefgh", "\"abcdefg\\u00ffabcdefgh\""},  // not UTF-8: the byte's character
      {std::string(1, '\0'), "\"\\u0000\""},
      {"", "\"\""},
  };
  for (const TCase& c : cases) {
    std::string out;
    TJsonWriter::AppendEscaped(out, c.Text);
    EXPECT_EQ(out, c.Json);
  }
  // A byte that needs an escape at each place of a long plain text.
  std::mt19937 random(3);
  for (int i = 0; i < 2000; ++i) {
    std::string text(40, 'a');
    const char special = "\"\\\n\x01\x7f\x1f "[random() % 7];
    const auto at = random() % text.size();
    text[at] = special;
    std::string out;
    TJsonWriter::AppendEscaped(out, text);
    if (special == ' ') {
      EXPECT_EQ(out, "\"" + text + "\"");
    } else {
      EXPECT_NE(out.find('\\', 1 + at), std::string::npos) << at;
      EXPECT_EQ(out.size(), text.size() + 2 + (special == '"' || special == '\\' || special == '\n' ? 1 : 5)) << at;
    }
  }
}
