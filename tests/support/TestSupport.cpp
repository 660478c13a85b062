#include "support/TestSupport.h"

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

}  // namespace testsupport

#include <cmath>
#include <cstdio>

#include "support/Fakes.h"

namespace testsupport {

std::string TFakeLocalFormat::FormatDateTime(double dateTime) {
  // Days since 1899-12-30 to a civil date (algorithm of H. Hinnant's days_from_civil inverse).
  const double whole = std::floor(dateTime);
  long long z = static_cast<long long>(whole) - 25569 + 719468;  // 1970-01-01 is day 25569
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long d = doy - (153 * mp + 2) / 5 + 1;
  const long long m = mp < 10 ? mp + 3 : mp - 9;
  const long long y = yoe + era * 400 + (m <= 2);
  long long seconds = std::llround((dateTime - whole) * 86400.0);
  char buffer[64];
  if (seconds == 0) {
    std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld", y, m, d);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", y, m, d, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
  }
  return buffer;
}

}  // namespace testsupport
