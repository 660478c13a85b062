#include "base/StringPool.h"

#include <gtest/gtest.h>

#include <string>

TEST(StringPool, KeepsOneCopyPerDistinctTextAndStableViews) {
  TStringPool pool;
  const std::uint32_t a = pool.Intern("alpha");
  const std::string_view kept = pool.Text(a);
  for (int i = 0; i < 100000; ++i) pool.Intern("text " + std::to_string(i));  // grows and rehashes
  EXPECT_EQ(pool.Intern(std::string("al") + "pha"), a);
  EXPECT_EQ(kept.data(), pool.Text(a).data());
  EXPECT_EQ(pool.Text(pool.Intern("text 777")), "text 777");
  EXPECT_EQ(pool.Text(pool.Intern(std::string(40000, 'z'))), std::string(40000, 'z'));
  EXPECT_EQ(pool.Text(pool.Intern(pool.Text(a).substr(1))), "lpha");  // a piece of a kept text

  std::uint32_t id = 0;
  EXPECT_TRUE(pool.Find("text 99999", id));
  EXPECT_EQ(pool.Text(id), "text 99999");
  EXPECT_FALSE(pool.Find("text 100000", id));
  pool.Clear();
  EXPECT_FALSE(pool.Find("alpha", id));
  EXPECT_EQ(pool.Text(pool.Intern("")), "");
}
