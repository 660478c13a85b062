// Filter texts read into their comparisons, and the texts refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/MemFilter.h"

namespace {

// "Field=value" or "Field<>value" per term, joined by "&", to compare a parse at a glance.
std::string Terms(const std::vector<TFilterTerm>& terms) {
  std::string out;
  for (const TFilterTerm& term : terms) {
    if (!out.empty()) out += '&';
    out += term.Field + (term.NotEqual ? "<>" : "=") + "[" + term.Value + "]";
  }
  return out;
}

}  // namespace

TEST(MemFilter, ReadsComparisonsJoinedByAnd) {
  struct TCase {
    const char* Text;
    const char* Terms;
  };
  const TCase cases[] = {
      {"ID = 1", "ID=[1]"},
      {"ID=1", "ID=[1]"},
      {"  ID <> 2 AND ID <> 0  ", "ID<>[2]&ID<>[0]"},
      {"Name='10.1.2.3'", "Name=[10.1.2.3]"},
      {"Name = 'a b' and ID = 3", "Name=[a b]&ID=[3]"},      // AND in any letter case
      {"Name = 'it''s'", "Name=[it's]"},                     // a doubled apostrophe stands for one
      {"Name = ''", "Name=[]"},
      {"Name = 'x AND y'", "Name=[x AND y]"},                // AND inside a quoted value is text
      {"Name = abc", "Name=[abc]"},                          // unquoted: up to the next blank
      {"", ""},
      {"   ", ""},
  };
  for (const TCase& c : cases) {
    std::vector<TFilterTerm> terms;
    EXPECT_TRUE(ParseFilterText(c.Text, terms)) << c.Text;
    EXPECT_EQ(Terms(terms), c.Terms) << c.Text;
  }
}

TEST(MemFilter, RefusesMalformedTexts) {
  for (const char* bad : {"ID <>", "ID < 2", "ID", "= 1", "ID = 1 AND", "ID = 1 AND ", "ID = 1 OR ID = 2",
                          "ID = 1 ANDID = 2", "Name = 'open", "ID = 1 ID = 2"}) {
    std::vector<TFilterTerm> terms;
    EXPECT_FALSE(ParseFilterText(bad, terms)) << bad;
  }
}
