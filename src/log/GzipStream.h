#pragma once
// The decoded bytes of a gzip-compressed file, for TQelBufferedFile: a file whose content
// is gzip data reads as the text it holds, whatever its name. Decoding streams through two
// small buffers; nothing is decoded into memory as a whole or onto disk.
//
// The stream always holds a look-ahead of decoded bytes ready, so that the reader can treat
// "bytes handed out + bytes ready" as the file's size: the reader never asks beyond it, and
// the size reaches the true one only near the end. Damage is reported when the reader asks
// for the first byte behind the last good line end, so every whole line before it is read and
// the line it cuts is not.
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

struct TInflater;

class TGzipStream {
public:
  // Reads the compressed bytes through handle (not owned) from offset 0; fileName names the
  // file in errors. lookAhead: the decoded bytes to keep ready.
  TGzipStream(int handle, std::string fileName, std::int32_t lookAhead);
  ~TGzipStream();
  TGzipStream(const TGzipStream&) = delete;
  TGzipStream& operator=(const TGzipStream&) = delete;

  // True when the file starts with the gzip magic bytes and the deflate method.
  static bool IsGzip(int handle);

  // Decoded bytes handed out plus those ready; after damage, one more once the good bytes
  // are handed out, so that the reader asks for it and meets the error.
  std::int64_t KnownSize() const;
  // Decodes until the known size reaches `end` or the data ends.
  void LookAheadTo(std::int64_t end);
  // Copies count decoded bytes from offset on. Offsets behind the ones handed out start the
  // decoding again from the file's beginning. Raises EGzipDataError for damaged data and
  // EQelFileError for bytes beyond the end or a failed read.
  void ReadAt(char* dest, std::int32_t count, std::int64_t offset);

private:
  void Restart();
  void Decode();         // one step: more input, the next member, or more output
  bool FillInput();      // false when the file has no more bytes
  bool AtTrailingZeros();
  void Fail(const std::string& reason);
  void Fail(std::exception_ptr failure);
  std::int32_t Ready() const { return FTail - FHead; }
  void MakeRoom(std::int32_t ready);

  std::unique_ptr<TInflater> FZ;
  int FHandle;
  std::string FFileName;
  std::int32_t FLookAhead;
  std::vector<char> FIn;
  std::vector<char> FOut;        // ready bytes in [FHead, FTail)
  std::int32_t FHead = 0;
  std::int32_t FTail = 0;
  std::int64_t FDelivered = 0;   // decoded offset of FOut[FHead]
  std::int64_t FInputOffset = 0;
  bool FInputEnded = false;
  bool FMemberEnded = false;     // between two members: the next one may follow
  bool FEnded = false;
  std::exception_ptr FFailure;   // set once decoding failed; raised when the bytes run out
};
