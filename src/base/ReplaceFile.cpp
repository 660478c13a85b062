#include "base/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/FileError.h"

namespace {

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a link points to (also one still to be made), or path itself when it is no link.
std::string Target(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  if (resolved) return resolved.get();
  std::string link(PATH_MAX, '\0');
  const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
  if (n <= 0) return path;
  link.resize(static_cast<std::size_t>(n));
  return link.front() == '/' ? link : FolderOf(path) + "/" + link;
}

// A fresh name beside target; O_EXCL makes sure no other file is overwritten.
int CreateTemporary(const std::string& target, std::string& temp, mode_t mode) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// A rename is durable once the folder is on the disk; failing that is no reason to report.
void SyncFolder(const std::string& target) {
  const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

int ReplaceFileContent(const std::string& path, std::string_view bytes, unsigned newFileMode, TLinkRule links) {
  const std::string target = links == TLinkRule::FollowLink ? Target(path) : path;
  std::string temp;
  const int fd = CreateTemporary(target, temp, static_cast<mode_t>(newFileMode & 0777));
  if (fd < 0) return errno;
  struct stat old {};
  if (links == TLinkRule::FollowLink && ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ::fchmod(fd, old.st_mode & 07777);
  int error = WriteAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolder(target);
  return 0;
}

void ReplaceFileContents(const std::string& path, std::string_view bytes, TLinkRule links) {
  if (const int error = ReplaceFileContent(path, bytes, 0666, links); error != 0)
    throw EQelFileError("cannot write file \"" + path + "\": " + std::strerror(error));
}
