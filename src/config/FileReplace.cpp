#include "config/FileReplace.h"

#include "log/QelNewFile.h"
#include "base/ReplaceFile.h"

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
  if (ReplaceFileContent(path, bytes) != 0) throw EQelFileError("cannot write file " + path);
}
