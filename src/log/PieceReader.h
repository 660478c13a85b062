#pragma once
// Random access to the bytes of a text file, for views and searches that read a piece here
// and a piece there; one reader per thread. A plain file is read where asked (positioned
// reads, no mapping: a file cut short meanwhile reads short and never faults). A compressed
// file is decoded from the nearest checkpoint (GzipPieceReader.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPieceReader {
public:
  virtual ~TPieceReader() = default;
  // Copies up to count bytes from offset on; fewer only where the data ends. Raises
  // EQelFileError naming the file when the system fails, EGzipDataError for damaged data.
  virtual std::size_t ReadAt(std::int64_t offset, char* dest, std::size_t count) = 0;
};

class TPlainPieceReader : public TPieceReader {
public:
  // handle is not owned.
  TPlainPieceReader(int handle, std::string fileName) : FHandle(handle), FFileName(std::move(fileName)) {}
  std::size_t ReadAt(std::int64_t offset, char* dest, std::size_t count) override;

private:
  int FHandle;
  std::string FFileName;
};

// Keeps the blocks read last, so that a view moving a few lines up and down neither goes back
// to the file nor decodes again. Holds at most Blocks x BlockSize bytes. A block that came
// back short (the end of a file that may still grow) is read again when bytes behind it are
// asked for.
class TCachedPieceReader : public TPieceReader {
public:
  static constexpr std::size_t BlockSize = 64 * 1024;
  static constexpr std::size_t Blocks = 16;

  explicit TCachedPieceReader(std::unique_ptr<TPieceReader> source) : FSource(std::move(source)) {}
  std::size_t ReadAt(std::int64_t offset, char* dest, std::size_t count) override;

private:
  struct TBlock {
    std::int64_t Number = -1;
    std::size_t Length = 0;
    std::uint64_t Used = 0;
    std::vector<char> Data;
  };
  TBlock& Fetch(std::int64_t number, std::size_t wanted);

  std::unique_ptr<TPieceReader> FSource;
  std::vector<TBlock> FBlocks;
  std::uint64_t FClock = 0;
};
