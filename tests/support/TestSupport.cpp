#include "support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace testsupport {

TTempDir::TTempDir() {
  std::random_device rd;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("trevalo-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      FPath = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(FPath, ec);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string CorpusDir() {
  const char* chosen = std::getenv("TREVALO_CORPUS");
  return chosen != nullptr && *chosen != '\0' ? chosen : TREVALO_CORPUS;
}

std::string LabelledAgentsFile() {
  const char* chosen = std::getenv("TREVALO_UA_CASES");
  return chosen != nullptr && *chosen != '\0' ? chosen : TREVALO_UA_CASES;
}

}  // namespace testsupport
