#include "base/OutputFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "base/FileError.h"

namespace {

[[noreturn]] void Fail(const std::string& what, int error) {
  throw EQelFileError(what + ": " + std::strerror(error));
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

mode_t Umask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// ---- Cleanup on signals: only async-signal-safe calls, on fixed storage ----

constexpr int CleanupNames = 32;
constexpr int CleanupNameSize = 128;
struct TCleanup {
  std::atomic<bool> Armed{false};
  char Folder[PATH_MAX];
  char Names[CleanupNames][CleanupNameSize];
  int Count = 0;
};
TCleanup Cleanup;
constexpr int CleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveRegistered() {
  if (!Cleanup.Armed.exchange(false)) return;
  const int folder = ::open(Cleanup.Folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    for (int i = 0; i < Cleanup.Count; ++i) ::unlinkat(folder, Cleanup.Names[i], 0);
    ::close(folder);
  }
  ::rmdir(Cleanup.Folder);
}

void OnEndingSignal(int signal) {
  RemoveRegistered();
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

bool Register(const std::string& folder, const std::vector<std::string>& names) {
  if (folder.size() >= sizeof Cleanup.Folder || names.size() > CleanupNames) return false;
  std::memcpy(Cleanup.Folder, folder.c_str(), folder.size() + 1);
  Cleanup.Count = 0;
  for (const auto& name : names) {
    if (name.size() >= CleanupNameSize) return false;
    std::memcpy(Cleanup.Names[Cleanup.Count++], name.c_str(), name.size() + 1);
  }
  Cleanup.Armed.store(true);
  return true;
}

// Holds SIGINT, SIGTERM and SIGHUP back while the folders change places.
class TSignalsHeld {
public:
  TSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int s : CleanupSignals) sigaddset(&held, s);
    ::pthread_sigmask(SIG_BLOCK, &held, &FPrevious);
  }
  ~TSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr); }

private:
  sigset_t FPrevious;
};

// The lock of the folder above the set, released when this ends.
class TFolderLock {
public:
  explicit TFolderLock(const std::string& folder) : FFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (FFd < 0) Fail("cannot lock folder " + Quoted(folder), errno);
    while (::flock(FFd, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(FFd);
      Fail("cannot lock folder " + Quoted(folder), error);
    }
  }
  ~TFolderLock() {
    ::fsync(FFd);  // the renames are durable once the folder is
    ::close(FFd);
  }
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

private:
  int FFd;
};

std::string NewFolderName(const std::string& parent, const std::string& base) {
  static std::atomic<unsigned> counter{0};
  return parent + "/." + base + ".new" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

// ---- TOutputFile ----

TOutputFile::TOutputFile(TOutputFile&& other) noexcept : FFd(other.FFd), FPath(std::move(other.FPath)) {
  other.FFd = -1;
}

TOutputFile::~TOutputFile() {
  if (FFd >= 0) ::close(FFd);
}

void TOutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(FFd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("cannot write file " + Quoted(FPath), n < 0 ? errno : EIO);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void TOutputFile::Close() {
  if (FFd < 0) return;
  const int fd = FFd;
  FFd = -1;
  if (::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    Fail("cannot write file " + Quoted(FPath), error);
  }
  if (::close(fd) != 0) Fail("cannot write file " + Quoted(FPath), errno);
}

// ---- TOutputFolder ----

TOutputFolder::TOutputFolder(const std::string& folder, std::vector<std::string> names)
    : FShownFolder(folder), FNames(std::move(names)) {
  namespace fs = std::filesystem;
  if (folder.empty()) Fail("cannot write into folder \"\"", ENOENT);
  std::error_code ec;
  fs::path path = fs::absolute(folder, ec).lexically_normal();
  if (ec) Fail("cannot write into folder " + Quoted(folder), ec.value());
  if (!path.has_filename()) path = path.parent_path();  // a trailing slash
  if (path == path.root_path()) Fail("cannot replace folder " + Quoted(folder), EBUSY);
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    const std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr), &std::free);
    if (!target) Fail("cannot write into folder " + Quoted(folder), errno);
    path = target.get();
  }
  if (::stat(path.c_str(), &info) == 0) {
    if (!S_ISDIR(info.st_mode)) Fail("cannot write into folder " + Quoted(folder), ENOTDIR);
    FFolder = path.string();
    CheckHoldsOnlySet(FFolder);
  } else if (errno == ENOENT) {
    FFolder = path.string();
    fs::create_directories(path.parent_path(), ec);
    if (ec) Fail("cannot create folder " + Quoted(path.parent_path().string()), ec.value());
  } else {
    Fail("cannot write into folder " + Quoted(folder), errno);
  }
  FParent = path.parent_path().string();
  FStaging = NewFolderName(FParent, path.filename().string());
  // Armed first: a signal right after the folder is made must find it.
  Register(FStaging, FNames);
  if (::mkdir(FStaging.c_str(), 0700) != 0) {
    const int error = errno;
    Cleanup.Armed.store(false);
    FDone = true;
    Fail("cannot write into folder " + Quoted(folder) + ", as no folder can be made beside it", error);
  }
}

TOutputFolder::~TOutputFolder() {
  if (FDone) return;
  Cleanup.Armed.store(false);
  RemoveSetFolder(FStaging);
}

std::string TOutputFolder::PathOf(const std::string& name) const {
  return (std::filesystem::path(FShownFolder) / name).string();
}

void TOutputFolder::CheckHoldsOnlySet(const std::string& path) const {
  const auto close = [](DIR* d) { ::closedir(d); };
  const std::unique_ptr<DIR, decltype(close)> dir(::opendir(path.c_str()), close);
  if (!dir) Fail("cannot read folder " + Quoted(FShownFolder), errno);
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const bool known = std::find(FNames.begin(), FNames.end(), name) != FNames.end();
    struct stat info {};
    // An entry gone meanwhile was removed by a run that put its set in place.
    if (known && ::fstatat(::dirfd(dir.get()), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
      continue;
    if (!known || S_ISDIR(info.st_mode))
      throw EQelFileError("cannot replace folder " + Quoted(FShownFolder) + ": it holds \"" + name +
                          "\", which is no file of this set (name a new or empty folder, or one that "
                          "holds such a set only)");
  }
}

void TOutputFolder::RemoveSetFolder(const std::string& path) const {
  // Only the set's names are removed: anything else keeps the folder, and so itself, alive.
  for (const auto& name : FNames) ::unlink((path + "/" + name).c_str());
  ::rmdir(path.c_str());
}

TOutputFile TOutputFolder::Create(const std::string& name) {
  if (std::find(FNames.begin(), FNames.end(), name) == FNames.end())
    throw EQelFileError("cannot write file " + Quoted(PathOf(name)) + ": no file of this set");
  const int fd = ::open((FStaging + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) Fail("cannot write file " + Quoted(PathOf(name)), errno);
  return TOutputFile(fd, PathOf(name));
}

void TOutputFolder::Commit() {
  const TSignalsHeld held;
  try {
    if (::chmod(FStaging.c_str(), 0777 & ~Umask()) != 0) Fail("cannot write into folder " + Quoted(FShownFolder), errno);
    const TFolderLock lock(FParent);
    struct stat info {};
    if (::lstat(FFolder.c_str(), &info) != 0) {
      if (errno != ENOENT || ::rename(FStaging.c_str(), FFolder.c_str()) != 0)
        Fail("cannot write into folder " + Quoted(FShownFolder), errno);
      FDone = true;
    } else {
      // Checked again: the folder may have changed while the set was made.
      if (!S_ISDIR(info.st_mode)) Fail("cannot write into folder " + Quoted(FShownFolder), ENOTDIR);
      CheckHoldsOnlySet(FFolder);
      if (::renameat2(AT_FDCWD, FStaging.c_str(), AT_FDCWD, FFolder.c_str(), RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) Fail("cannot replace folder " + Quoted(FShownFolder), errno);
        // No exchange here: the old folder steps aside, the new one takes its name.
        const std::string aside = FStaging + ".old";
        if (::rename(FFolder.c_str(), aside.c_str()) != 0) Fail("cannot replace folder " + Quoted(FShownFolder), errno);
        if (::rename(FStaging.c_str(), FFolder.c_str()) != 0) {
          const int error = errno;
          ::rename(aside.c_str(), FFolder.c_str());
          Fail("cannot replace folder " + Quoted(FShownFolder), error);
        }
        ::rename(aside.c_str(), FStaging.c_str());
      }
      FDone = true;
      // The new folder's name now holds the old set.
      RemoveSetFolder(FStaging);
    }
  } catch (...) {
    Cleanup.Armed.store(false);
    if (!FDone) RemoveSetFolder(FStaging);
    FDone = true;
    throw;
  }
  Cleanup.Armed.store(false);
}

void InstallOutputCleanup() {
  for (int s : CleanupSignals) {
    struct sigaction previous {};
    // A signal the caller ignores (nohup) stays ignored.
    if (::sigaction(s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    for (int other : CleanupSignals) sigaddset(&action.sa_mask, other);
    ::sigaction(s, &action, nullptr);
  }
}
