// The text helpers of the short statistics: byte counts, browser names, per-day maxima.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analyses/W2FrmGeneral.h"
#include "platform/PlainLocalFormat.h"

namespace {

TEST(TGeneralAnalysis, FormatBytes) {
  struct TCase {
    std::uint64_t Bytes;
    const char* Text;
  };
  const TCase cases[] = {
      {0, "0 bytes"},
      {999, "999 bytes"},
      {1000, "1 kilobytes"},
      {1005, "1 kilobytes"},  // 100.5 hundredths round to the even 100
      {1015, "1.02 kilobytes"},
      {1234, "1.23 kilobytes"},
      {1500, "1.5 kilobytes"},
      {999999, "1000 kilobytes"},
      {1000000, "1 megabytes"},
      {999999999, "1000 megabytes"},
      {1000000000, "1 gigabytes"},
      {2147483647, "2.15 gigabytes"},
      {2147483648, "2.15 gigabytes"},
      {3000000000, "3 gigabytes"},
      {4294967296, "4.29 gigabytes"},
      {5000000000000, "5000 gigabytes"},
  };
  TPlainLocalFormat format;
  for (const TCase& c : cases) EXPECT_EQ(TGeneralAnalysis::FormatBytes(c.Bytes, format), c.Text) << c.Bytes;
}

TEST(TGeneralAnalysis, FormatBytesUsesTheLocalDecimalSeparator) {
  class TCommaFormat : public TPlainLocalFormat {
  public:
    std::string FormatFloat(double value) override {
      std::string text = TPlainLocalFormat::FormatFloat(value);
      for (char& c : text)
        if (c == '.') c = ',';
      return text;
    }
  } format;
  EXPECT_EQ(TGeneralAnalysis::FormatBytes(1234, format), "1,23 kilobytes");
}

TEST(TGeneralAnalysis, BrowserName) {
  struct TCase {
    const char* Agent;
    const char* Browser;
  };
  const TCase cases[] = {
      {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)", "MSIE 6.0"},
      {"Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)", "MSIE 5.0"},
      {"Mozilla/4.78 [en] (Win98; U)", "Netscape/4.7"},
      {"Mozilla/5.0 (Windows; U; Windows NT 5.1; de-DE; rv:1.4) Gecko", "Mozilla/5.0"},
      {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1) Opera 7.11 [en]", "Opera 7.1"},
      {"Mozilla/5.0 (compatible; Konqueror/3; Linux)", "Konqueror/3; "},
      {"NCSA_Mosaic/2.0 (Windows 3.1)", "Mosaic"},
      {"Mozilla/4.7 [en] (X11; Netscape6/6.2)", "Netscape6/6.2"},
      {"Galeon", "Galeon"},
      {"Mozilla/4", "Netscape/4"},  // fewer than three characters after the 4 are fine
      {"mozilla/5.0", "unknown"},  // markers are case-sensitive
      {"-", "unknown"},
      {"", "unknown"},
  };
  for (const TCase& c : cases) EXPECT_EQ(TGeneralAnalysis::BrowserName(c.Agent), c.Browser) << c.Agent;
}

TEST(TGeneralAnalysis, BrowserNameLooksAtThirtyCharactersFromTheMarker) {
  EXPECT_EQ(TGeneralAnalysis::BrowserName("x Opera_without_any_version_number_here 9.5"),
            "Opera_without_any_version_numb");
}

TEST(TGeneralAnalysis, CutVersion) {
  struct TCase {
    const char* Token;
    const char* Cut;
  };
  const TCase cases[] = {
      {"MSIE 6.0; Windows", "MSIE 6.0"},
      {"Opera 7.", "Opera 7."},  // nothing after the full stop
      {"Konqueror/3; Linux)", "Konqueror/3; "},
      {"Galeon/12", "Galeon/12"},  // neither full stop nor space after the digit
      {"Netscape", "Netscape"},
      {"A b 1.25", "A b 1.2"},  // spaces before the first digit do not count
  };
  for (const TCase& c : cases) EXPECT_EQ(TGeneralAnalysis::CutVersion(c.Token), c.Cut) << c.Token;
}

TEST(TGeneralAnalysis, MaxOfListStartsFromZero) {
  EXPECT_EQ(TGeneralAnalysis::MaxOfList(std::vector<std::int32_t>{}), 0);
  EXPECT_EQ(TGeneralAnalysis::MaxOfList(std::vector<std::int32_t>{-5, -2}), 0);
  EXPECT_EQ(TGeneralAnalysis::MaxOfList(std::vector<std::int64_t>{3, 5000000000, 7}), 5000000000);
}

}  // namespace
