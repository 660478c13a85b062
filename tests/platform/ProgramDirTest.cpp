#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ProgramDir.h"

TEST(ProgramDir, IsTheFolderOfTheRunningTestProgram) {
  const std::string dir = ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "test_platform"));
}
