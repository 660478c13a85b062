#pragma once
// Replacing a file's content so that a failure leaves the old file as it was.
#include <string>
#include <string_view>

// Writes the bytes to a temporary file beside path, then renames it into place; the new file
// keeps the old one's permissions. Failures raise EQelFileError naming the path.
void ReplaceFileContents(const std::string& path, std::string_view bytes);
