#pragma once
// A set of output files that a folder shows whole or not at all: the files are written into a
// new folder beside the one the user named, which then takes that folder's place in one step
// (the two are exchanged; where the file system cannot exchange, the old folder is moved
// aside first, so a reader sees the old set, no set for a moment, or the new one, never a
// mix). Files of the old set that the new one lacks go with the old folder. Runs into the same
// folder take turns for that step (a lock on the folder above it). The named folder is the
// set's own: one that holds anything but files of the set is refused before any work, so that
// nothing of the user's is ever removed. A symbolic link named as the folder is followed (the
// user named it); files inside are never written through links.
//
// Lifetime: the new folder exists from construction until Commit or destruction (which
// removes it with what was written); InstallOutputCleanup removes it also when SIGINT,
// SIGTERM or SIGHUP ends the process. One set at a time per process.
#include <string>
#include <string_view>
#include <vector>

// One file of the set, written into the new folder; move-only.
class TOutputFile {
public:
  TOutputFile(TOutputFile&& other) noexcept;
  TOutputFile& operator=(TOutputFile&&) = delete;
  ~TOutputFile();
  // Raise EQelFileError naming the file, with the system's reason.
  void Write(std::string_view bytes);
  void Close();

private:
  friend class TOutputFolder;
  TOutputFile(int fd, std::string path) : FFd(fd), FPath(std::move(path)) {}
  int FFd;
  std::string FPath;  // the name it will have in the named folder, for messages
};

class TOutputFolder {
public:
  // names: every file a set may hold. Checks the folder (creating the folders above it when
  // missing) and makes the new folder beside it; raises EQelFileError with the reason: the
  // folder is a file, holds something that is no file of the set, or cannot be replaced.
  TOutputFolder(const std::string& folder, std::vector<std::string> names);
  TOutputFolder(const TOutputFolder&) = delete;
  TOutputFolder& operator=(const TOutputFolder&) = delete;
  ~TOutputFolder();

  // The folder as named (for messages) and the file of a set name inside it.
  const std::string& Folder() const { return FShownFolder; }
  std::string PathOf(const std::string& name) const;

  // A new file of the set (name must be one of names), created with the user's default
  // permissions; raises EQelFileError.
  TOutputFile Create(const std::string& name);
  // Puts the new set in the folder's place and removes the old set; raises EQelFileError
  // (the folder then holds the old set, and the new folder is removed).
  void Commit();

private:
  void CheckHoldsOnlySet(const std::string& path) const;
  void RemoveSetFolder(const std::string& path) const;

  std::string FShownFolder;
  std::string FFolder;   // absolute, links resolved
  std::string FParent;
  std::string FStaging;  // the new folder beside FFolder
  std::vector<std::string> FNames;
  bool FDone = false;
};

// SIGINT, SIGTERM and SIGHUP remove the new folder of the set being written, then end the
// process as the signal would have. Call once, early in a program that writes sets.
void InstallOutputCleanup();
