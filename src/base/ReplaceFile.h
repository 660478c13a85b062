#pragma once
// The one way the program writes a file: the new content goes to a temporary file in the
// same folder, is flushed to the disk and then renamed over the old file, so that a failure
// at any step leaves the old file as it was. Two forms: one that returns the system's error
// number, for callers with a message of their own, and one that raises.
#include <string>
#include <string_view>

// What a symbolic link standing at the path means; the caller knows who chose the name.
enum class TLinkRule {
  // The program's own file at its fixed place (settings, configuration lists, log types): a
  // link there was made by the owner of that folder to keep the file elsewhere, so the file
  // it points to is replaced and keeps its permissions.
  FollowLink,
  // A name chosen for this one write (exports): whatever stands at the name is replaced, a
  // link included, and the new file gets the user's default permissions (0666 less the
  // umask), never those of a file that was there.
  ReplaceLink,
};

// Replaces the whole content of path (creating it when missing), by the link rule. A file made
// anew gets newFileMode less the process's umask. Returns 0, or the system's error number of
// the step that failed; the temporary file is gone either way.
int ReplaceFileContent(const std::string& path, std::string_view bytes, unsigned newFileMode = 0666,
                       TLinkRule links = TLinkRule::FollowLink);
// ReplaceFileContent that raises EQelFileError ("cannot write file "path": reason") when a
// step fails.
void ReplaceFileContents(const std::string& path, std::string_view bytes, TLinkRule links = TLinkRule::FollowLink);
