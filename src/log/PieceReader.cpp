#define _FILE_OFFSET_BITS 64

#include "log/PieceReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "log/QelNewFile.h"

std::size_t TPlainPieceReader::ReadAt(std::int64_t offset, char* dest, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(FHandle, dest + done, count - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EQelFileError("cannot read file \"" + FFileName + "\"");
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::size_t TCachedPieceReader::ReadAt(std::int64_t offset, char* dest, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const std::int64_t at = offset + static_cast<std::int64_t>(done);
    const std::int64_t number = at / static_cast<std::int64_t>(BlockSize);
    const auto within = static_cast<std::size_t>(at % static_cast<std::int64_t>(BlockSize));
    const TBlock& block = Fetch(number, within + 1);
    if (block.Length <= within) break;
    const std::size_t n = std::min(count - done, block.Length - within);
    std::memcpy(dest + done, block.Data.data() + within, n);
    done += n;
  }
  return done;
}

// The block of that number holding at least `wanted` bytes if the source has them.
TCachedPieceReader::TBlock& TCachedPieceReader::Fetch(std::int64_t number, std::size_t wanted) {
  auto found = std::find_if(FBlocks.begin(), FBlocks.end(), [&](const TBlock& b) { return b.Number == number; });
  if (found == FBlocks.end()) {
    if (FBlocks.size() < Blocks) {
      found = FBlocks.insert(FBlocks.end(), TBlock{});
    } else {
      found = std::min_element(FBlocks.begin(), FBlocks.end(), [](const TBlock& a, const TBlock& b) { return a.Used < b.Used; });
    }
    found->Number = -1;
    found->Length = 0;
  }
  if (found->Number != number || (found->Length < wanted && found->Length < BlockSize)) {
    found->Data.resize(BlockSize);
    found->Number = -1;  // until the read has succeeded
    found->Length = FSource->ReadAt(number * static_cast<std::int64_t>(BlockSize), found->Data.data(), BlockSize);
    found->Number = number;
  }
  found->Used = ++FClock;
  return *found;
}
