#pragma once
// Helpers of the fuzz targets: a private folder for the files they write. Nothing here
// touches the user's settings or files.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SilentDialogs.h"

namespace fuzzsupport {

// A folder of the process's own below $TMPDIR (or /tmp), made at first use and removed when
// the process ends normally. The settings folder is pointed into it as well.
inline const std::string& WorkDir() {
  // Never destroyed: the clean-up at exit still needs it.
  static const std::string& dir = *new std::string([] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/trevalo-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    ::setenv("XDG_CONFIG_HOME", (pattern + "/xdg").c_str(), 1);
    std::atexit([] { std::error_code ignored; std::filesystem::remove_all(WorkDir(), ignored); });
    return pattern + "/";
  }());
  return dir;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A finding that the sanitizers would not report: stops the run with the input kept.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// A small generator that input bytes steer, so the fuzzer can vary the operations it makes.
class TSteer {
public:
  explicit TSteer(std::uint32_t seed) : FState(seed * 2654435761u + 1) {}
  std::uint32_t Next(std::uint32_t bound) {
    FState = FState * 1664525u + 1013904223u;
    return bound == 0 ? 0 : (FState >> 8) % bound;
  }

private:
  std::uint32_t FState;
};

}  // namespace fuzzsupport
