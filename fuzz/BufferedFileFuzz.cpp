// The buffered line reader over arbitrary bytes, checked against a plain model of its lines:
// a line ends at LF, CR or CR LF, loses its trailing bytes of code 32 or less, and one longer
// than the limit is refused. Reads, line reads and jumps are mixed as the input steers.
//
// Input: byte 0 picks the buffer size and line limit, byte 1 the open mode and reading
// through mapped windows, and steers the operations; the rest is the file.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "log/QelNewFile.h"

namespace {

using fuzzsupport::Fail;

constexpr std::int32_t BufferSizes[] = {0, 1, 2, 3, 5, 16, 17, 64, 4096};

std::int32_t LineLimitFor(std::uint8_t pick, std::int32_t bufferSize) {
  switch (pick % 7) {
    case 0: return -1;
    case 1: return 0;
    case 2: return 1;
    case 3: return bufferSize / 2;
    case 4: return bufferSize - 1;  // too long for the buffer: Open refuses it
    case 5: return 4000;
    default: return bufferSize - 2;
  }
}

// What the reader must do, computed from the bytes directly.
struct TModel {
  std::string_view Data;
  std::int64_t Position = 0;
  std::int32_t LineLimit = 0;

  std::int64_t Size() const { return static_cast<std::int64_t>(Data.size()); }

  // False when the line is too long; the position stays then.
  bool ReadLine(std::string& line) {
    if (Position >= Size()) {
      line.clear();
      return true;
    }
    const auto start = static_cast<std::size_t>(Position);
    std::size_t end = Data.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = Data.size();
    if (static_cast<std::int64_t>(end - start) > LineLimit) return false;
    std::size_t kept = end - start;
    while (kept > 0 && static_cast<unsigned char>(Data[start + kept - 1]) <= 32) --kept;
    line.assign(Data.substr(start, kept));
    Position = static_cast<std::int64_t>(end);
    if (end < Data.size()) {
      ++Position;
      if (Data[end] == '\r' && end + 1 < Data.size() && Data[end + 1] == '\n') ++Position;
    }
    return true;
  }

  // Behind the next line end, however far away.
  void SkipLine() {
    std::size_t end = Data.find_first_of("\r\n", static_cast<std::size_t>(std::min(Position, Size())));
    if (end == std::string_view::npos) {
      Position = std::max(Position, Size());
      return;
    }
    Position = static_cast<std::int64_t>(end) + 1;
    if (Data[end] == '\r' && end + 1 < Data.size() && Data[end + 1] == '\n') ++Position;
  }
};

void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

void Exercise(TQelBufferedFile& reader, TModel& model, fuzzsupport::TSteer& steer, std::int32_t bufferSize) {
  std::string line, expected, bytes;
  const std::int64_t maxOps = model.Size() + 16;
  for (std::int64_t op = 0; op < maxOps; ++op) {
    const std::uint32_t kind = steer.Next(14);
    if (kind < 8) {
      const bool fits = model.ReadLine(expected);
      try {
        reader.ReadLine(line);
        Check(fits, "a line longer than the limit was read");
        Check(line == expected, "ReadLine gave another line");
      } catch (const EQelFileError&) {
        Check(!fits, "ReadLine refused a line within the limit");
      }
    } else if (kind < 10) {
      const auto count = static_cast<std::int32_t>(steer.Next(static_cast<std::uint32_t>(2 * bufferSize + 3)));
      const bool fits = count < 1 || count <= model.Size() - model.Position;
      try {
        reader.ReadString(bytes, count);
        Check(fits, "Read went past the end");
        if (count > 0) {
          Check(bytes == model.Data.substr(static_cast<std::size_t>(model.Position), static_cast<std::size_t>(count)),
                "Read gave other bytes");
          model.Position += count;
        }
      } catch (const EQelFileError&) {
        Check(!fits, "Read refused bytes that are there");
      }
    } else if (kind < 12) {
      const std::int64_t p = static_cast<std::int64_t>(steer.Next(static_cast<std::uint32_t>(model.Size() + 3))) - 1;
      reader.SetPosition(p);
      model.Position = std::max<std::int64_t>(p, 0);
    } else if (kind == 12) {
      reader.SkipLine();
      model.SkipLine();
    } else {
      // The lines counted at once are the lines the model reads up to the new position, each
      // ended by LF and within the limit.
      const auto tally = reader.CountBufferedLines('#');
      std::int64_t lines = 0, kept = 0;
      while (model.Position < reader.GetPosition()) {
        const auto start = static_cast<std::size_t>(model.Position);
        Check(model.ReadLine(expected), "a line longer than the limit was counted");
        Check(model.Data[static_cast<std::size_t>(model.Position) - 1] == '\n', "a line not ended by LF was counted");
        Check(model.Data.substr(start, static_cast<std::size_t>(model.Position) - start).find('\r') == std::string_view::npos,
              "a line ended by CR was counted");
        ++lines;
        if (!expected.empty() && expected[0] != '#') ++kept;
      }
      Check(model.Position == reader.GetPosition(), "counting stopped within a line");
      Check(tally.Lines == lines && tally.Kept == kept, "the lines counted differ");
    }
    Check(reader.GetPosition() == model.Position, "the position differs");
    Check(reader.Eof() == (model.Position >= model.Size()), "Eof differs");
    if (reader.Eof() && kind < 8 && steer.Next(4) == 0) break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string path = fuzzsupport::WorkDir() + "input.log";
  const std::string_view content(reinterpret_cast<const char*>(data) + 2, size - 2);
  fuzzsupport::WriteFile(path, content);

  TQelBufferedFile reader;
  reader.SetFileName(path);
  reader.BufferSize = BufferSizes[data[0] % std::size(BufferSizes)];
  reader.MaxLineLength = LineLimitFor(static_cast<std::uint8_t>(data[0] / std::size(BufferSizes)), reader.BufferSize);
  reader.MapWindow = (data[1] & 0x20) ? 1 : 0;  // the smallest window there is
  const std::int32_t lineLimit = std::max(reader.MaxLineLength, 0);
  const bool opens = static_cast<std::int64_t>(reader.BufferSize) - 2 >= lineLimit;
  const TFileOpenMode mode = omReadExisting | ((data[1] & 0x80) ? omFullBuffer : 0) | ((data[1] & 0x40) ? omSequential : 0);
  try {
    reader.Open(mode);
  } catch (const EQelFileError&) {
    Check(!opens, "Open refused a valid buffer setting");
    return 0;
  }
  Check(opens, "Open took a line limit the buffer cannot hold");
  Check(reader.GetSize() == static_cast<std::int64_t>(content.size()), "the size differs");

  TModel model{content, 0, lineLimit};
  fuzzsupport::TSteer steer(data[1]);
  Exercise(reader, model, steer, reader.BufferSize);
  reader.Close();
  return 0;
}
