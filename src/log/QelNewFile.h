#pragma once
// File objects through which every line-oriented file is read and written.
// TQelFile is unbuffered over a POSIX descriptor with 64-bit positions;
// TQelBufferedFile adds a buffer, a line reader and line writers. Opened for reading only, it
// reads a file whose content is gzip data as the bytes it stands for (see GzipStream.h).
#include <climits>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/FileError.h"

// Content that cannot be read on from where it failed. No line of it can be skipped: readers
// that step over bad lines let this one through.
class EUnreadableContentError : public EQelFileError {
public:
  using EQelFileError::EQelFileError;
};

// Compressed content that cannot be decoded (damaged, cut off, a wrong check sum).
class EGzipDataError : public EUnreadableContentError {
public:
  using EUnreadableContentError::EUnreadableContentError;
};

class TFileWindow;
class TGzipStream;

using TFileOpenMode = std::uint16_t;
inline constexpr TFileOpenMode omCreate = 1;
inline constexpr TFileOpenMode omAlways = 2;
inline constexpr TFileOpenMode omRead = 4;
inline constexpr TFileOpenMode omWrite = 8;
inline constexpr TFileOpenMode omAtEnd = 16;
inline constexpr TFileOpenMode omShareRead = 32;
inline constexpr TFileOpenMode omShareWrite = 64;
inline constexpr TFileOpenMode omHidden = 128;
inline constexpr TFileOpenMode omReadOnly = 256;
inline constexpr TFileOpenMode omSequential = 512;
inline constexpr TFileOpenMode omWriteThrough = 1024;
inline constexpr TFileOpenMode omDeleteOnClose = 2048;
inline constexpr TFileOpenMode omFullBuffer = 4096;

// The three modes the system uses.
inline constexpr TFileOpenMode omReadExisting = omRead | omShareRead;          // 36
inline constexpr TFileOpenMode omWriteNew = omCreate | omAlways | omWrite;     // 11
inline constexpr TFileOpenMode omAppend = omAlways | omWrite | omAtEnd;        // 26

class TQelFile {
public:
  TQelFile() = default;
  virtual ~TQelFile();
  TQelFile(const TQelFile&) = delete;
  TQelFile& operator=(const TQelFile&) = delete;

  void SetFileName(const std::string& name);
  const std::string& FileName() const { return FFileName; }
  bool Opened() const { return FOpened; }
  // The descriptor while open, for readers that read at positions of their own.
  int Handle() const { return FHandle; }
  bool Exists() const;
  void Erase();

  virtual bool Eof();
  virtual std::int64_t GetPosition();
  virtual std::int64_t GetSize();
  virtual void SetPosition(std::int64_t p);
  virtual void SetSize(std::int64_t n);
  virtual void Open(TFileOpenMode mode);
  virtual void Close();
  virtual void Read(void* dest, std::int32_t count);
  virtual void Write(const void* src, std::int32_t count);

protected:
  [[noreturn]] void Fail(const char* format) const;  // raises with FileName put into format's %s
  // Fail with the system's reason for error appended ("...: Permission denied").
  [[noreturn]] void Fail(const char* format, int error) const;
  void CheckOpen() const;
  void CheckClosed() const;
  // Closes the handle without reporting errors; true when the system closed it cleanly.
  bool CloseHandle() noexcept;

  int FHandle = -1;
  std::string FFileName;
  bool FOpened = false;
  bool FDeleteOnClose = false;
};

class TQelBufferedFile : public TQelFile {
public:
  TQelBufferedFile();
  ~TQelBufferedFile() override;

  std::int64_t GetPosition() override { CheckOpen(); return FPosition; }
  // Of compressed content: the decoded bytes known so far, at least a buffer's worth beyond
  // the bytes read; the full size once the end is near.
  std::int64_t GetSize() override { CheckOpen(); return FFileSize; }
  void SetPosition(std::int64_t p) override;
  void SetSize(std::int64_t n) override;
  void Open(TFileOpenMode mode) override;
  void Close() override;
  void Read(void* dest, std::int32_t count) override;
  void Write(const void* src, std::int32_t count) override;

  virtual void AllocateBuffer();
  virtual void FreeBuffer();
  virtual void ReadString(std::string& s, std::int32_t count);
  // Hands back the next line without its line end and trailing bytes of code 32 or less.
  // `s` keeps its capacity, so reading many lines into one string allocates nothing per line.
  virtual void ReadLine(std::string& s);
  // Moves behind the next line end, however far away it is.
  void SkipLine();
  // Reads up to count bytes, fewer only at the end; returns how many were read.
  std::int32_t ReadSome(void* dest, std::int32_t count);
  bool Compressed() const { return FDecoder != nullptr; }
  // The same line as ReadLine, seen in the buffer without a copy; valid until the next call
  // that reads, writes or moves. False, with nothing read, for a line that ReadLine refuses
  // as too long.
  virtual bool TryReadLineView(std::string_view& s);
  // Steps over the lines that end in LF within the buffer, as TryReadLineView would read them
  // one by one, and counts them: all of them, and those that are neither blank nor begin with
  // `comment`. It stops before a line that ends in CR or is too long, and after a stretch of
  // the buffer; TryReadLineView goes on from there.
  struct TLineTally {
    std::int64_t Lines = 0;
    std::int64_t Kept = 0;
  };
  TLineTally CountBufferedLines(char comment);
  virtual void WriteString(const std::string& s);
  virtual void WriteLine(const std::string& s);
  virtual void Flush();
  virtual void DiscardBuffer();

  // Settings, to be changed while the file is closed.
  bool UserBuffer = false;
  std::int32_t MaxLineLength = 4000;
  std::int32_t BufferSize = 4096;
  char* Buffer = nullptr;  // BufferSize bytes; supplied by the caller when UserBuffer
  // A plain file opened for reading only is seen through a memory mapping of this many bytes
  // at a time (at least BufferSize) instead of being copied into Buffer, which then points
  // into the mapping; 0: never. Not with UserBuffer.
  std::int32_t MapWindow = 0;

  std::int64_t FileSize() const { return FFileSize; }

protected:
  // Positioned transfers (pread/pwrite): the system file pointer is never moved for them.
  void ReadAt(void* dest, std::int32_t count, std::int64_t offset);
  void WriteAt(const void* src, std::int32_t count, std::int64_t offset);
  std::int32_t BufferOffset(std::int32_t limit);
  std::int32_t Available(std::int32_t limit, std::int64_t offset) const;

  bool FDirty = false;
  bool FFlushWhenFull = false;
  std::int64_t FFileSize = 0;
  std::int64_t FPosition = 0;
  std::int64_t FBufferStart = 0;
  std::int32_t FBufferCount = 0;
  std::int32_t FDirectLimit = 0;
  // BufferSize and MaxLineLength as they were at Open, so changing the settings while open
  // cannot make the buffer code overrun the allocation.
  std::int32_t FCapacity = 0;
  std::int32_t FLineLimit = 0;

private:
  void CopyIn(std::int32_t offset, const char* src, std::int32_t count);
  void WriteDirect(const char* src, std::int32_t count);
  std::int32_t FindLineEnd(std::int32_t from, std::int32_t to);
  // File offset of the first CR from buffer index `from` on, looked for up to index `to` at
  // least; INT64_MAX when there is none that far.
  std::int64_t NextCR(std::int32_t from, std::int32_t to);
  void ForgetLineEnds() { FCRFrom = INT64_MAX; }
  void StepOverLineEnd(std::int32_t e);
  void Refill(std::int64_t from);
  void CheckNotCut() const;

  void OpenDecoder();
  void DecodeAhead(std::int64_t end);

  std::unique_ptr<char[]> FOwnedBuffer;
  std::unique_ptr<TGzipStream> FDecoder;  // while compressed content is read
  std::unique_ptr<TFileWindow> FWindow;   // while the file is read through a mapping
  std::int64_t FWindowSize = 0;
  // The first CR at or after file offset FCRFrom is at FCRNext, or when FCRFound is false,
  // there is none before FCRNext. Kept as file offsets, which stay true while the window
  // moves; forgotten when the file is written.
  std::int64_t FCRFrom = INT64_MAX;
  std::int64_t FCRNext = 0;
  bool FCRFound = false;
};
