#pragma once
// Replacing a file's content so that a failure leaves the old file as it was, for callers
// that report failures as exceptions.
#include <string>
#include <string_view>

// ReplaceFileContent that raises EQelFileError naming the path when a step fails.
void ReplaceFileContents(const std::string& path, std::string_view bytes);
