#pragma once
// The one way the program writes a file: the new content goes to a temporary file in the
// same folder, is flushed to the disk and then renamed over the old file, so that a failure
// at any step leaves the old file as it was. Two forms: one that returns the system's error
// number, for callers with a message of their own, and one that raises.
#include <string>
#include <string_view>

// Replaces the whole content of path (creating it when missing). A path that is a symbolic
// link stays one: the file it points to is replaced. The new file keeps the permissions of
// the one it replaces; a file made anew gets newFileMode less the process's umask. Returns 0,
// or the system's error number of the step that failed; the temporary file is gone either way.
int ReplaceFileContent(const std::string& path, std::string_view bytes, unsigned newFileMode = 0666);
// ReplaceFileContent that raises EQelFileError ("cannot write file "path"") when a step fails.
void ReplaceFileContents(const std::string& path, std::string_view bytes);
