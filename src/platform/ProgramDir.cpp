#include "platform/ProgramDir.h"

#include <filesystem>
#include <system_error>

std::string ExecutableDirectory() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path().string() + "/";
  return exe.parent_path().string() + "/";
}
