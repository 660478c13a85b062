#pragma once
// Gzip-compressed bytes for tests of compressed logs, made with zlib as a rotating log
// writer makes them.
#include <string>

namespace testsupport {

// One gzip member holding text.
std::string GzipBytes(const std::string& text, int level = 6);

}  // namespace testsupport
