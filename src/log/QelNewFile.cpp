// 64-bit file offsets also on 32-bit targets; must come before any system header.
#define _FILE_OFFSET_BITS 64

#include "log/QelNewFile.h"

#include "log/FileWindow.h"
#include "log/GzipStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <exception>

static_assert(sizeof(off_t) >= 8, "files beyond 4 GiB need a 64-bit off_t");

namespace {

// Sharing, hidden and sequential flags have no POSIX open flag: sharing is always allowed,
// hidden files are a naming convention, sequential access becomes an advice after opening.
int OpenFlags(TFileOpenMode mode) {
  int flags = O_CLOEXEC;
  if (mode & omWrite) {
    flags |= (mode & omRead) ? O_RDWR : O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  const bool create = mode & omCreate;
  const bool always = mode & omAlways;
  if (create && always) {
    flags |= O_CREAT | O_TRUNC;
  } else if (create) {
    flags |= O_CREAT | O_EXCL;
  } else if (always) {
    flags |= O_CREAT;
  }
  if (mode & omWriteThrough) flags |= O_DSYNC;
  return flags;
}

mode_t CreationMode(TFileOpenMode mode) { return (mode & omReadOnly) ? 0444 : 0666; }

// Bytes searched at once for line ends; a mapped window is larger than the cache.
constexpr std::int32_t ScanStretch = 64 * 1024;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Length of `text` without its trailing bytes of code 32 or less.
std::size_t TrimmedLength(const char* text, std::size_t length) {
  while (length > 0 && IsBlank(text[length - 1])) --length;
  return length;
}

// Writes any length through the 32-bit Write.
void WriteAll(TQelFile& file, const char* src, std::size_t count) {
  do {
    const auto part = static_cast<std::int32_t>(std::min<std::size_t>(count, INT32_MAX));
    file.Write(src, part);
    src += part;
    count -= static_cast<std::size_t>(part);
  } while (count > 0);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TQelFile

TQelFile::~TQelFile() { CloseHandle(); }

void TQelFile::Fail(const char* format) const {
  std::string message(format);
  const auto at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, FFileName);
  throw EQelFileError(message);
}

void TQelFile::Fail(const char* format, int error) const {
  std::string message(format);
  const auto at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, FFileName);
  throw EQelFileError(message + ": " + std::strerror(error));
}

void TQelFile::CheckOpen() const {
  if (!FOpened) Fail("file \"%s\" not open");
}

void TQelFile::CheckClosed() const {
  if (FOpened) Fail("file \"%s\" not closed");
}

bool TQelFile::CloseHandle() noexcept {
  bool closed = true;
  if (FHandle >= 0) closed = ::close(FHandle) == 0;  // never retried: the descriptor is gone
  FHandle = -1;
  FOpened = false;
  if (FDeleteOnClose) ::unlink(FFileName.c_str());
  FDeleteOnClose = false;
  return closed;
}

void TQelFile::SetFileName(const std::string& name) {
  CheckClosed();
  FFileName = name;
}

bool TQelFile::Exists() const {
  if (FOpened) return true;
  struct stat info {};
  return !FFileName.empty() && ::stat(FFileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void TQelFile::Erase() {
  CheckClosed();
  if (FFileName.empty()) Fail("cannot erase file \"%s\"");
  if (::unlink(FFileName.c_str()) != 0) Fail("cannot erase file \"%s\"", errno);
}

bool TQelFile::Eof() { return GetPosition() >= GetSize(); }

std::int64_t TQelFile::GetPosition() {
  CheckOpen();
  const off_t p = ::lseek(FHandle, 0, SEEK_CUR);
  if (p < 0) Fail("cannot get pos of file \"%s\"", errno);
  return p;
}

std::int64_t TQelFile::GetSize() {
  CheckOpen();
  struct stat info {};
  if (::fstat(FHandle, &info) != 0) Fail("cannot get size of file \"%s\"", errno);
  return info.st_size;
}

void TQelFile::SetPosition(std::int64_t p) {
  CheckOpen();
  if (::lseek(FHandle, std::max<std::int64_t>(p, 0), SEEK_SET) < 0) {
    Fail("cannot set pos of file \"%s\"", errno);
  }
}

void TQelFile::SetSize(std::int64_t n) {
  CheckOpen();
  n = std::max<std::int64_t>(n, 0);
  if (::lseek(FHandle, n, SEEK_SET) < 0 || ::ftruncate(FHandle, n) != 0) {
    Fail("cannot set size of file \"%s\"", errno);
  }
}

void TQelFile::Open(TFileOpenMode mode) {
  CheckClosed();
  if (FFileName.empty()) Fail("cannot open file \"%s\"");
  // Opened without blocking, so that a named pipe cannot hold the program; only a plain file
  // is taken (a directory opens for reading on POSIX, a device or pipe has no size to read to).
  const int fd = ::open(FFileName.c_str(), OpenFlags(mode) | O_NONBLOCK, CreationMode(mode));
  if (fd < 0) Fail("cannot open file %s", errno);
  struct stat info {};
  int refused = ::fstat(fd, &info) != 0 ? errno : 0;
  if (refused == 0 && S_ISDIR(info.st_mode)) refused = EISDIR;
  if (refused == 0 && !S_ISREG(info.st_mode)) {
    ::close(fd);
    Fail("cannot open file %s: it is a device or a pipe, not a plain file");
  }
  if (refused == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) refused = errno;
  if (refused != 0) {
    ::close(fd);
    Fail("cannot open file %s", refused);
  }
  if ((mode & omAtEnd) && ::lseek(fd, 0, SEEK_END) < 0) {
    const int error = errno;
    ::close(fd);
    Fail("cannot open file \"%s\" at end", error);
  }
  if (mode & omSequential) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  FHandle = fd;
  FOpened = true;
  FDeleteOnClose = mode & omDeleteOnClose;
}

void TQelFile::Close() {
  CheckOpen();
  if (!CloseHandle()) Fail("cannot close file \"%s\"", errno);
}

void TQelFile::Read(void* dest, std::int32_t count) {
  CheckOpen();
  auto* out = static_cast<char*>(dest);
  while (count > 0) {
    const ssize_t n = ::read(FHandle, out, static_cast<std::size_t>(count));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot read file \"%s\"", errno);
    if (n == 0) Fail("cannot read file \"%s\"");
    out += n;
    count -= static_cast<std::int32_t>(n);
  }
}

void TQelFile::Write(const void* src, std::int32_t count) {
  CheckOpen();
  const auto* in = static_cast<const char*>(src);
  while (count > 0) {
    const ssize_t n = ::write(FHandle, in, static_cast<std::size_t>(count));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot write file \"%s\"", errno);
    if (n == 0) Fail("cannot write file \"%s\"", EIO);
    in += n;
    count -= static_cast<std::int32_t>(n);
  }
}

// ---------------------------------------------------------------------------------------------
// TQelBufferedFile

TQelBufferedFile::TQelBufferedFile() = default;

// Buffered bytes are dropped; the base destructor closes the handle.
TQelBufferedFile::~TQelBufferedFile() = default;

void TQelBufferedFile::AllocateBuffer() {
  FOwnedBuffer = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(BufferSize));
  Buffer = FOwnedBuffer.get();
}

// Memory that the caller supplied is only forgotten, never freed.
void TQelBufferedFile::FreeBuffer() {
  FOwnedBuffer.reset();
  Buffer = nullptr;
}

void TQelBufferedFile::Open(TFileOpenMode mode) {
  CheckClosed();
  const std::int32_t lineLimit = std::max<std::int32_t>(MaxLineLength, 0);
  if (static_cast<std::int64_t>(BufferSize) - 2 < lineLimit) {
    Fail("max line length exceeds buffer capacity at file \"%s\"");
  }
  if (UserBuffer && Buffer == nullptr) Fail("cannot open file \"%s\"");
  if (!UserBuffer) AllocateBuffer();
  try {
    TQelFile::Open(mode);
  } catch (const EQelFileError&) {
    if (!UserBuffer) FreeBuffer();
    throw;
  }
  FCapacity = BufferSize;
  FLineLimit = lineLimit;
  FFileSize = TQelFile::GetSize();
  FPosition = TQelFile::GetPosition();
  FBufferStart = 0;
  FBufferCount = 0;
  FDirectLimit = (mode & omFullBuffer) ? FCapacity : FCapacity - FCapacity / 16;
  ForgetLineEnds();
  FDirty = false;
  FFlushWhenFull = mode & omSequential;
  if ((mode & omRead) && !(mode & omWrite) && TGzipStream::IsGzip(FHandle)) OpenDecoder();
  if (MapWindow > 0 && !UserBuffer && (mode & omRead) && !(mode & omWrite) && !FDecoder) {
    // A window starts at the page of the line it is made for, so it holds one page more.
    const std::int64_t page = TFileWindow::PageSize();
    FWindowSize = (std::max(MapWindow, FCapacity) + page - 1) / page * page + page;
    if (FWindowSize <= INT32_MAX) FWindow = std::make_unique<TFileWindow>();
  }
}

void TQelBufferedFile::OpenDecoder() {
  try {
    FDecoder = std::make_unique<TGzipStream>(FHandle, FFileName, FCapacity);
  } catch (...) {
    CloseHandle();
    if (!UserBuffer) FreeBuffer();
    throw;
  }
  FFileSize = FDecoder->KnownSize();
}

void TQelBufferedFile::DecodeAhead(std::int64_t end) {
  FDecoder->LookAheadTo(end);
  FFileSize = FDecoder->KnownSize();
}

// The handle is closed and the buffer released even when the last flush fails, so that the
// object can serve the next file; the first failure is reported.
void TQelBufferedFile::Close() {
  CheckOpen();
  std::exception_ptr failure;
  try {
    Flush();
  } catch (const EQelFileError&) {
    failure = std::current_exception();
  }
  FBufferCount = 0;
  FDirty = false;
  FDecoder.reset();
  FWindow.reset();
  try {
    TQelFile::Close();
  } catch (const EQelFileError&) {
    if (!failure) failure = std::current_exception();
  }
  if (!UserBuffer) FreeBuffer();
  if (failure) std::rethrow_exception(failure);
}

void TQelBufferedFile::SetPosition(std::int64_t p) {
  CheckOpen();
  FPosition = std::max<std::int64_t>(p, 0);
}

void TQelBufferedFile::SetSize(std::int64_t n) {
  CheckOpen();
  ForgetLineEnds();
  Flush();
  n = std::max<std::int64_t>(n, 0);
  TQelFile::SetSize(n);
  // The window may hold bytes that were cut off or that now read as zeros.
  FBufferStart = n;
  FBufferCount = 0;
  FFileSize = n;
  FPosition = n;
}

void TQelBufferedFile::ReadAt(void* dest, std::int32_t count, std::int64_t offset) {
  if (FDecoder) {
    FDecoder->ReadAt(static_cast<char*>(dest), count, offset);
    FFileSize = FDecoder->KnownSize();
    return;
  }
  auto* out = static_cast<char*>(dest);
  while (count > 0) {
    const ssize_t n = ::pread(FHandle, out, static_cast<std::size_t>(count), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot read file \"%s\"", errno);
    if (n == 0) Fail("cannot read file \"%s\"");
    out += n;
    offset += n;
    count -= static_cast<std::int32_t>(n);
  }
}

void TQelBufferedFile::WriteAt(const void* src, std::int32_t count, std::int64_t offset) {
  const auto* in = static_cast<const char*>(src);
  while (count > 0) {
    const ssize_t n = ::pwrite(FHandle, in, static_cast<std::size_t>(count), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot write file \"%s\"", errno);
    if (n == 0) Fail("cannot write file \"%s\"", EIO);
    in += n;
    offset += n;
    count -= static_cast<std::int32_t>(n);
  }
}

std::int32_t TQelBufferedFile::BufferOffset(std::int32_t limit) {
  const std::int64_t offset = FPosition - FBufferStart;
  if (offset >= 0 && offset <= limit) return static_cast<std::int32_t>(offset);
  Flush();
  FBufferStart = FPosition;
  FBufferCount = 0;
  return 0;
}

std::int32_t TQelBufferedFile::Available(std::int32_t limit, std::int64_t offset) const {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(FFileSize - offset, 0, limit));
}

void TQelBufferedFile::Read(void* dest, std::int32_t count) {
  CheckOpen();
  if (count < 1) return;
  if (count > FFileSize - FPosition) {
    if (FDecoder) DecodeAhead(FPosition + count);
    if (count > FFileSize - FPosition) Fail("cannot read file \"%s\"");
  }
  auto* out = static_cast<char*>(dest);
  const std::int32_t a = BufferOffset(FBufferCount);
  const std::int32_t copied = std::min(FBufferCount - a, count);
  std::memcpy(out, Buffer + a, static_cast<std::size_t>(copied));
  const std::int32_t rest = count - copied;
  if (rest > FDirectLimit) {
    ReadAt(out + copied, rest, FPosition + copied);
  } else if (rest > 0) {
    const std::int64_t from = FBufferStart + FBufferCount;
    Refill(from);
    std::memcpy(out + copied, Buffer + (from - FBufferStart), static_cast<std::size_t>(rest));
  }
  CheckNotCut();
  FPosition += count;
}

void TQelBufferedFile::Write(const void* src, std::int32_t count) {
  CheckOpen();
  ForgetLineEnds();
  if (count < 1) return;
  const auto* in = static_cast<const char*>(src);
  const std::int32_t a = BufferOffset(FBufferCount);
  const std::int32_t fits = std::min(FCapacity - a, count);
  const std::int32_t rest = count - fits;
  if (rest > FDirectLimit) {
    WriteDirect(in, count);
  } else {
    CopyIn(a, in, fits);
    if (rest > 0) {
      // The window is full: write it out and continue in the one behind it.
      Flush();
      FBufferStart += FBufferCount;
      FBufferCount = 0;
      CopyIn(0, in + fits, rest);
    }
    if (FFlushWhenFull && FBufferCount == FCapacity) Flush();
  }
  FPosition += count;
  FFileSize = std::max(FFileSize, FPosition);
}

void TQelBufferedFile::CopyIn(std::int32_t offset, const char* src, std::int32_t count) {
  if (count < 1) return;
  std::memcpy(Buffer + offset, src, static_cast<std::size_t>(count));
  FBufferCount = std::max(FBufferCount, offset + count);
  FDirty = true;
}

// Writes at Position past the buffer. Every buffered byte goes out first, also those behind
// Position, so the file keeps whatever the direct write does not cover.
void TQelBufferedFile::WriteDirect(const char* src, std::int32_t count) {
  Flush();
  WriteAt(src, count, FPosition);
  FBufferStart = FPosition + count;
  FBufferCount = 0;
}

void TQelBufferedFile::ReadString(std::string& s, std::int32_t count) {
  CheckOpen();
  s.resize(static_cast<std::size_t>(std::max<std::int32_t>(count, 0)));
  Read(s.data(), count);
}

// Most logs hold no CR, or one per line: the next one is looked for through a stretch of
// many lines once and remembered, rather than once more in every line. The stretch stays
// within the cache, where the line search finds it again.
std::int64_t TQelBufferedFile::NextCR(std::int32_t from, std::int32_t to) {
  const std::int64_t at = FBufferStart + from;
  if (at < FCRFrom || at > FCRNext || (!FCRFound && FBufferStart + to > FCRNext)) {
    const std::int32_t ahead = std::min(FBufferCount - from, std::max(to - from, ScanStretch));
    const void* cr = std::memchr(Buffer + from, '\r', static_cast<std::size_t>(ahead));
    FCRFrom = at;
    FCRFound = cr != nullptr;
    FCRNext = FBufferStart + (FCRFound ? static_cast<const char*>(cr) - Buffer : from + ahead);
  }
  return FCRFound ? FCRNext : INT64_MAX;
}

// Index of the first CR or LF in Buffer[from, to), or `to` when there is none.
std::int32_t TQelBufferedFile::FindLineEnd(std::int32_t from, std::int32_t to) {
  const char* start = Buffer + from;
  const char* end = Buffer + to;
  if (const void* lf = std::memchr(start, '\n', static_cast<std::size_t>(end - start))) {
    end = static_cast<const char*>(lf);
  }
  const std::int64_t cr = NextCR(from, static_cast<std::int32_t>(end - Buffer));
  if (cr < FBufferStart + (end - Buffer)) end = Buffer + (cr - FBufferStart);
  return static_cast<std::int32_t>(end - Buffer);
}

void TQelBufferedFile::ReadLine(std::string& s) {
  std::string_view line;
  if (!TryReadLineView(line)) Fail("line longer than max line length in file \"%s\"");
  s.assign(line);
}

bool TQelBufferedFile::TryReadLineView(std::string_view& s) {
  CheckOpen();
  std::int32_t a = BufferOffset(FBufferCount);
  // A line end further away than this would make the line too long; no need to look for it.
  std::int32_t scanEnd = std::min(FBufferCount, a + FLineLimit + 1);
  std::int32_t e = FindLineEnd(a, scanEnd);
  if (e == FBufferCount && FBufferStart + FBufferCount < FFileSize) {
    // The line runs on behind the window: a new one starts with it. One refill suffices, as
    // the window holds more than the longest line.
    const std::int64_t lineStart = FBufferStart + a, scanned = FBufferStart + e;
    Refill(lineStart);
    a = static_cast<std::int32_t>(lineStart - FBufferStart);
    e = static_cast<std::int32_t>(scanned - FBufferStart);
    scanEnd = std::min(FBufferCount, a + FLineLimit + 1);
    e = FindLineEnd(e, scanEnd);
  }
  CheckNotCut();  // before the bytes found are judged
  if (e - a > FLineLimit) {
    FPosition = FBufferStart + a;
    return false;
  }
  s = std::string_view(Buffer + a, TrimmedLength(Buffer + a, static_cast<std::size_t>(e - a)));
  FPosition = FBufferStart + e;
  if (e < FBufferCount) StepOverLineEnd(e);
  return true;
}

TQelBufferedFile::TLineTally TQelBufferedFile::CountBufferedLines(char comment) {
  CheckOpen();
  TLineTally tally;
  const std::int32_t from = BufferOffset(FBufferCount);
  const char* start = Buffer + from;
  // A stretch at a time, so that both searches find it in the cache.
  const char* end = start + std::min(FBufferCount - from, ScanStretch);
  if (const std::int64_t cr = NextCR(from, static_cast<std::int32_t>(end - Buffer)); cr < FBufferStart + (end - Buffer))
    end = Buffer + (cr - FBufferStart);
  while (const void* found = std::memchr(start, '\n', static_cast<std::size_t>(end - start))) {
    const auto* lf = static_cast<const char*>(found);
    const auto length = static_cast<std::size_t>(lf - start);
    if (length > static_cast<std::size_t>(FLineLimit)) break;
    ++tally.Lines;
    // A line that starts with a visible character is not blank.
    if (length > 0 && *start != comment && (!IsBlank(*start) || TrimmedLength(start, length) > 0)) ++tally.Kept;
    start = lf + 1;
  }
  CheckNotCut();
  FPosition = FBufferStart + (start - Buffer);
  return tally;
}

// The window from file offset `from` on, as full as it goes. Copied, it keeps the bytes it
// holds from there on, moved to the front, and reads the rest; mapped, it starts at the page
// that holds `from`.
void TQelBufferedFile::Refill(std::int64_t from) {
  Flush();
  if (FWindow) {
    const std::int64_t start = from - from % TFileWindow::PageSize();
    const std::int64_t length = std::min(FWindowSize, FFileSize - start);
    const char* data = length > 0 ? FWindow->Map(FHandle, start, static_cast<std::size_t>(length)) : nullptr;
    if (data != nullptr) {
      Buffer = const_cast<char*>(data);  // read only: a file opened for reading is never written
      FBufferStart = start;
      FBufferCount = static_cast<std::int32_t>(length);
      return;
    }
    // The end of the file, or a mapping the system refused: copies from here on.
    CheckNotCut();
    FWindow.reset();
    Buffer = FOwnedBuffer.get();
    FBufferCount = 0;
  }
  const std::int64_t kept = from >= FBufferStart ? std::max<std::int64_t>(FBufferStart + FBufferCount - from, 0) : 0;
  if (kept > 0 && from > FBufferStart)
    std::memmove(Buffer, Buffer + (from - FBufferStart), static_cast<std::size_t>(kept));
  FBufferStart = from;
  FBufferCount = static_cast<std::int32_t>(kept);
  const std::int32_t n = Available(FCapacity - FBufferCount, FBufferStart + FBufferCount);
  ReadAt(Buffer + FBufferCount, n, FBufferStart + FBufferCount);
  FBufferCount += n;
}

void TQelBufferedFile::CheckNotCut() const {
  if (FWindow && FWindow->Cut())
    throw EUnreadableContentError("cannot read file \"" + FFileName + "\": it was cut short while it was read");
}

void TQelBufferedFile::SkipLine() {
  CheckOpen();
  for (;;) {
    // BufferOffset may empty the window: FBufferCount is read after it.
    const std::int32_t a = BufferOffset(FBufferCount);
    const std::int32_t e = FindLineEnd(a, FBufferCount);
    FPosition = FBufferStart + e;
    if (e < FBufferCount) {
      StepOverLineEnd(e);
      return;
    }
    if (FPosition >= FFileSize) return;
    Refill(FPosition);
  }
}

std::int32_t TQelBufferedFile::ReadSome(void* dest, std::int32_t count) {
  CheckOpen();
  if (FDecoder && count > FFileSize - FPosition) DecodeAhead(FPosition + count);
  const auto n = static_cast<std::int32_t>(std::clamp<std::int64_t>(FFileSize - FPosition, 0, std::max(count, 0)));
  Read(dest, n);
  return n;
}

// Position stands at the CR or LF at buffer index e.
void TQelBufferedFile::StepOverLineEnd(std::int32_t e) {
  ++FPosition;
  if (Buffer[e] != '\r') return;
  if (e + 1 < FBufferCount) {
    if (Buffer[e + 1] == '\n') ++FPosition;
  } else if (FPosition < FFileSize) {
    // The CR closes the window; its LF, if any, opens the next one. It is looked at in the
    // file, so the window and the line just seen in it stay as they are.
    char next = 0;
    ReadAt(&next, 1, FPosition);
    if (next == '\n') ++FPosition;
  }
}

void TQelBufferedFile::WriteString(const std::string& s) {
  CheckOpen();
  WriteAll(*this, s.data(), s.size());
}

void TQelBufferedFile::WriteLine(const std::string& s) {
  CheckOpen();
  WriteAll(*this, s.data(), TrimmedLength(s.data(), s.size()));
  Write("\r\n", 2);
}

void TQelBufferedFile::Flush() {
  CheckOpen();
  if (FBufferCount > 0 && FDirty) WriteAt(Buffer, FBufferCount, FBufferStart);
  FDirty = false;
}

void TQelBufferedFile::DiscardBuffer() {
  Flush();
  FBufferCount = 0;
}
