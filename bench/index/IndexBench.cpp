// trevalo-index-bench [--find TEXT] FILE...: how fast the raw view's line index is built and
// how small it stays. For each file: a plain read of every byte (what the disk or the page
// cache gives), the index build through the same reader the window uses, jumps to the last
// line and to lines all over the file, and a search from the top for TEXT with and without
// letter case. Prints figures; it is not a test.
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "log/IndexedLog.h"
#include "log/LineReader.h"
#include "log/TextFinder.h"

namespace {

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point start) { return std::chrono::duration<double>(TClock::now() - start).count(); }

// A status value of this process in KiB ("VmRSS", "VmHWM").
long StatusKiB(const std::string& name) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(name + ":", 0) == 0) return std::stol(line.substr(name.size() + 1));
  return 0;
}

double Mega(double bytes) { return bytes / 1e6; }

void Bench(const std::string& path, const std::string& findText) {
  std::printf("%s\n", path.c_str());
  const long rssBefore = StatusKiB("VmRSS");
  TIndexedLog log(path);
  TGzipCheckpoints checkpoints;  // none: a compressed file is decoded straight through

  // Every byte once in pieces of a MiB, as the build reads them, without looking at them.
  {
    TQelFile file;
    file.SetFileName(path);
    file.Open(omReadExisting);
    std::unique_ptr<TPieceReader> reader;
    if (log.Compressed()) {
      reader = std::make_unique<TGzipPieceReader>(file.Handle(), path, checkpoints, false);
    } else {
      reader = std::make_unique<TPlainPieceReader>(file.Handle(), path);
    }
    std::vector<char> piece(1 << 20);
    const auto start = TClock::now();
    std::int64_t total = 0;
    for (std::size_t n; (n = reader->ReadAt(total, piece.data(), piece.size())) > 0;) total += static_cast<std::int64_t>(n);
    const double seconds = SecondsSince(start);
    std::printf("  read only      %8.1f MB in %6.2f s  %8.0f MB/s%s\n", Mega(static_cast<double>(total)), seconds,
                Mega(static_cast<double>(total)) / seconds, log.Compressed() ? " (decoded)" : "");
  }

  const auto start = TClock::now();
  const std::atomic<bool> cancel{false};
  log.BuildIndex(cancel);
  const double seconds = SecondsSince(start);
  const TLineIndex& index = log.Index();
  const double bytes = static_cast<double>(index.TextEnd());
  std::printf("  index          %8.1f MB in %6.2f s  %8.0f MB/s  %lld lines (%.1f M lines/s)\n", Mega(bytes), seconds,
              Mega(bytes) / seconds, static_cast<long long>(index.LineCount()),
              static_cast<double>(index.LineCount()) / seconds / 1e6);
  std::printf("  index memory   %8.2f MB  (%.3f bytes per line), longest line %lld bytes\n",
              Mega(static_cast<double>(log.MemoryBytes())),
              static_cast<double>(log.MemoryBytes()) / static_cast<double>(std::max<std::int64_t>(index.LineCount(), 1)),
              static_cast<long long>(index.LongestLine()));
  std::printf("  resident       %8.1f MB after the build (%.1f MB before opening), peak %.1f MB\n",
              StatusKiB("VmRSS") / 1024.0, rssBefore / 1024.0, StatusKiB("VmHWM") / 1024.0);

  auto pieces = log.NewReader();
  TLineReader reader(index, *pieces);
  const auto jump = TClock::now();
  const auto last = reader.Lines(index.LineCount() - 1, 1);
  std::printf("  last line      %8.3f ms to find and read (line %lld, %lld bytes)\n", SecondsSince(jump) * 1000,
              static_cast<long long>(last.empty() ? 0 : last[0].Number + 1),
              static_cast<long long>(last.empty() ? 0 : last[0].Length));
  std::mt19937_64 random(1);
  const int screens = 1000;
  const auto jumps = TClock::now();
  for (int i = 0; i < screens; ++i) {
    for (const TTextLine& line : reader.Lines(static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(std::max<std::int64_t>(index.LineCount(), 1))), 60))
      reader.Bytes(line.Start, 300);
  }
  std::printf("  random screens %8.3f ms each (60 lines, 300 bytes each, %d jumps)\n", SecondsSince(jumps) * 1000 / screens,
              screens);

  TTextFinder finder;
  for (const bool matchCase : {true, false}) {
    const auto search = TClock::now();
    const std::int64_t hit = finder.Find(log, *pieces, {findText, matchCase, true, 0}, cancel);
    const double took = SecondsSince(search);
    std::printf("  find %-9s %8.1f ms  %8.0f MB/s  \"%s\" %s\n", matchCase ? "(case)" : "(no case)", took * 1000,
                Mega(static_cast<double>(hit >= 0 ? hit : index.TextEnd())) / took, findText.c_str(),
                hit >= 0 ? ("in line " + std::to_string(reader.LineAt(hit).Number + 1)).c_str() : "not found");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string findText = "needle";
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--find") {
    findText = argv[2];
    first = 3;
  }
  if (argc <= first) {
    std::fprintf(stderr, "usage: trevalo-index-bench [--find TEXT] FILE...\n");
    return 2;
  }
  try {
    for (int i = first; i < argc; ++i) Bench(argv[i], findText);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
