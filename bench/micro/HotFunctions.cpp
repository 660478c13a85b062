// Micro-benchmarks of the functions every log line passes through, over lines shaped like
// those of a combined log. The configuration is the one the build copies beside the program.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analyses/W2FrmGeneral.h"
#include "analyses/W2FrmTabMGrid.h"
#include "analyses/WSSearchUser.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "platform/ProgramDir.h"
#include "platform/SettingsStore.h"
#include "platform/SilentDialogs.h"

namespace {

class TNoSettings : public ISettingsStore {
public:
  bool KeyExists(const std::string&) override { return false; }
  void CreateKey(const std::string&) override {}
  std::optional<TRegValue> ReadValue(const std::string&, const std::string&) override { return std::nullopt; }
  bool WriteValue(const std::string&, const std::string&, const TRegValue&) override { return true; }
};

const char* const Agents[] = {
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 Safari/537.36",
    "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
    "Opera/9.80 (Windows NT 6.1; U; en) Presto/2.10.289 Version/12.00",
    "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
};

// Distinct addresses, pages and agents as a log of a few thousand visitors has them.
std::string LogLine(int i) {
  char line[512];
  std::snprintf(line, sizeof line,
                "%d.%d.%d.%d - - [%02d/Jan/2023:%02d:%02d:%02d +0100] \"GET /docs/v4/page-%d.html HTTP/1.1\" 200 %d "
                "\"http://www.google.com/search?q=word%d+other&hl=en\" \"%s\"",
                10 + i % 200, i / 200 % 250, i % 7, i % 251, 1 + i / 86400 % 28, i / 3600 % 24, i / 60 % 60, i % 60,
                i % 2000, 1000 + i % 50000, i % 100, Agents[i % 4]);
  return line;
}

std::vector<std::string> LogLines(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(LogLine(i));
  return lines;
}

constexpr int LineCount = 20000;

// A parser over the installed configuration that has chosen the combined description.
struct TParserSetup {
  TNoSettings Settings;
  TSilentDialogs Dialogs;
  Tglobals Globals{Settings, Dialogs, ExecutableDirectory()};
  TDSearchPattern Parser{Globals, Globals.ConfigDir()};
  std::filesystem::path File;

  TParserSetup() {
    File = std::filesystem::temp_directory_path() / ("trevalo-bench-" + std::to_string(::getpid()) + ".log");
    std::ofstream out(File, std::ios::binary);
    for (const std::string& line : LogLines(LineCount)) out << line << "\r\n";
    out.close();
    if (!Parser.SelectLogType({File.string()})) throw std::runtime_error("no log type suits the benchmark lines");
  }
  ~TParserSetup() { std::filesystem::remove(File); }
};

TParserSetup& Setup() {
  static TParserSetup setup;
  return setup;
}

void ReadLine(benchmark::State& state) {
  TQelBufferedFile reader;
  reader.BufferSize = 256 * 1024;
  reader.SetFileName(Setup().File.string());
  reader.Open(omReadExisting);
  std::string line;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    if (reader.Eof()) reader.SetPosition(0);
    reader.ReadLine(line);
    bytes += static_cast<std::int64_t>(line.size());
  }
  reader.Close();
  state.SetBytesProcessed(bytes);
}
BENCHMARK(ReadLine);

void SplitLine(benchmark::State& state) {
  const auto lines = LogLines(LineCount);
  std::vector<std::string> fields;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Setup().Parser.SplitLine(lines[i], fields));
    if (++i == lines.size()) i = 0;
  }
}
BENCHMARK(SplitLine);

void ParseLogDate(benchmark::State& state) {
  const std::string dates[] = {"10/Oct/2000:13:55:36 -0700", "02/Jan/2023:00:01:34 +0100", "31/Dec/2024:23:59:59 +0000"};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TDSearchPattern::ParseLogDate(dates[i]));
    if (++i == 3) i = 0;
  }
}
BENCHMARK(ParseLogDate);

// The fields the analyses ask for, one new line after the other: one split per line.
void GetField(benchmark::State& state) {
  const auto lines = LogLines(LineCount);
  TDSearchPattern& parser = Setup().Parser;
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& line = lines[i];
    parser.BeginLine(&line);
    benchmark::DoNotOptimize(parser.GetDateTime(line));
    benchmark::DoNotOptimize(parser.GetField(line, TFieldKind::IP));
    benchmark::DoNotOptimize(parser.GetField(line, TFieldKind::Request));
    benchmark::DoNotOptimize(parser.GetInteger(line, TFieldKind::StatusCode));
    benchmark::DoNotOptimize(parser.GetInt64(line, TFieldKind::Bytes));
    benchmark::DoNotOptimize(parser.GetField(line, TFieldKind::Referrer));
    benchmark::DoNotOptimize(parser.GetField(line, TFieldKind::UserAgent));
    if (++i == lines.size()) i = 0;
  }
  parser.BeginLine(nullptr);
}
BENCHMARK(GetField);

// Addresses: as many distinct ones as the argument, each coming back within the time area.
void IsNewVisitor(benchmark::State& state) {
  std::vector<std::string> addresses;
  for (int i = 0; i < state.range(0); ++i) addresses.push_back(LogLine(i * 7).substr(0, LogLine(i * 7).find(' ')));
  TSearchUser users(5.0 / 1440.0);
  std::size_t i = 0;
  double time = 45000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(users.IsNewVisitor(addresses[i], time));
    time += 1.0 / 86400.0;
    if (++i == addresses.size()) i = 0;
  }
}
BENCHMARK(IsNewVisitor)->Arg(20000)->Arg(500000);

// Pages counted without regard to letter case; most values are known ones.
void AddValue(benchmark::State& state) {
  std::vector<std::string> pages;
  for (int i = 0; i < state.range(0); ++i) pages.push_back("/docs/v4/Page-" + std::to_string(i) + ".html");
  TSilentDialogs dialogs;
  TTabMGridAnalysis analysis(dialogs);
  analysis.CreateLists();
  analysis.PrepareRun();
  std::size_t i = 0;
  for (auto _ : state) {
    analysis.AddValue(pages[i]);
    if (++i == pages.size()) i = 0;
  }
}
BENCHMARK(AddValue)->Arg(2000)->Arg(200000);

void BrowserName(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TGeneralAnalysis::BrowserName(Agents[i]));
    if (++i == std::size(Agents)) i = 0;
  }
}
BENCHMARK(BrowserName);

}  // namespace

BENCHMARK_MAIN();
