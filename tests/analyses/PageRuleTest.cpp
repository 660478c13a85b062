#include <gtest/gtest.h>

#include "analyses/HostName.h"
#include "analyses/PageRule.h"

TEST(PageRule, CutsThePageOutOfTheRequest) {
  struct TCase {
    const char* Request;
    const char* Page;
  };
  const TCase cases[] = {
      {"GET /index.html HTTP/1.1", "/index.html"},
      {"HEAD /a.html HTTP/1.0", " /a.html"},       // positions do not follow the method
      {"POST /form HTTP/1.1", " /form"},
      {"GET /index.html", ""},                     // no HTTP
      {"GET /x http/1.1", ""},                     // letter case as written
      {"GET HTTP/1.1", ""},                        // HTTP at position 5
      {"GET /HTTP/1.1", ""},                       // HTTP at position 6
      {"GET x HTTP/1.1", "x"},                     // HTTP at position 7
      {"GET /HTTPdocs/a HTTP/1.1", ""},            // the first HTTP counts
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PageOfRequest(c.Request), c.Page) << c.Request;
}

TEST(PageRule, NotShownEntriesMatchInEitherCase) {
  TNotShownFilter filter({".gif", "", "/Admin"});
  EXPECT_TRUE(filter.Hides("GET /PIC.GIF HTTP/1.0"));
  EXPECT_TRUE(filter.Hides("GET /admin/x HTTP/1.0"));
  EXPECT_FALSE(filter.Hides("GET /index.html HTTP/1.0"));  // the empty entry hides nothing
  EXPECT_FALSE(TNotShownFilter().Hides("GET / HTTP/1.0"));
}

TEST(HostName, RecognisesDottedAddresses) {
  for (const char* text : {"192.168.0.12", "0.0.0.0", "255.255.255.255", "10.010.0.1"})
    EXPECT_TRUE(IsIPv4Address(text)) << text;
  for (const char* text : {"1.2.3", "1.2.3.4.5", "1.2.3.256", "a.b.c.d", "1..2.3", "1.2.3.", "-1.2.3.4",
                           " 1.2.3.4", "1.2.3.4 ", "host.isp.net.x", ""})
    EXPECT_FALSE(IsIPv4Address(text)) << text;
}

TEST(HostName, KeepsTheLastTwoLabels) {
  EXPECT_EQ(ShortHostName("dial.pool.isp.net"), "isp.net");
  EXPECT_EQ(ShortHostName("isp.net"), "isp.net");
  EXPECT_EQ(ShortHostName("localhost"), "localhost");
  EXPECT_EQ(ShortHostName("a.b.c"), "b.c");
  EXPECT_EQ(ShortHostName(""), "");
}
