#include "ReportOptions.h"

#include <charconv>

const char* const ReportUsage =
    "usage: trevalo-report [options] FILE...\n"
    "       trevalo-report [--config DIR] --classify-agents < AGENTS\n"
    "Runs the short statistics, hits per time unit, search phrases and pages over the log files.\n"
    "  --json              machine-readable output (default: aligned text tables)\n"
    "  --csv DIR           also write each table as CSV into DIR: summary.csv, statusCodes.csv,\n"
    "                      browsers.csv, hits.csv, search.csv, pages.csv, and visits.csv with\n"
    "                      --process. DIR is the set's own folder: it is checked before the run,\n"
    "                      made when missing, and replaced whole by the new set (one that holds\n"
    "                      other files is refused). A cell beginning with = + - @, tab or CR\n"
    "                      gets a leading ' so that a spreadsheet does not run it\n"
    "  --csv-raw           CSV cells exactly as they are (no leading ')\n"
    "  --weekday           hits per day of the week (default: hour of the day)\n"
    "  --per-user          hits per visitor (default: all hits)\n"
    "  --time-area MIN     same-visitor time in minutes, 1-59 (default: the stored setting, else 5)\n"
    "  --settings FILE     settings store file to use instead of the user's\n"
    "  --config DIR        configuration directory instead of config/ below the program's folder\n"
    "  --no-engine         search phrases without the engine's host\n"
    "  --lock-words FILE   hide the phrases containing these words, one a line\n"
    "  --process           also run the visitor-path analysis\n"
    "  --main-page TEXT    the main page for the visitor paths (default: the stored setting)\n"
    "  --skip-bad-lines    skip and count the lines that cannot be read instead of stopping\n"
    "  --no-crawlers       leave out the lines of crawlers (people only); the summary counts them\n"
    "  --browser-versions  browsers with their major versions (\"Chrome 120\"), not families\n"
    "  --classify-agents   read user agents from standard input, one a line, and write for each a\n"
    "                      JSON object: agent, browser, browserVersion, system, crawler\n"
    "  --help, --version\n"
    "Exit status: 0 done; 1 an error ended the run, or an output could not be written;\n"
    "2 wrong usage, or a --csv folder that cannot take the set (nothing is run); 3 no log type\n"
    "suits the files; 4 completed with warnings: a lookup table (replace.lac, spare.lac,\n"
    "errorcodes.lac, search.txt) missing or damaged, or a replacement row left out at its bound;\n"
    "each is named on standard error.\n";

TReportOptions ParseReportOptions(const std::vector<std::string>& arguments) {
  TReportOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw EUsageError("option " + a + " needs a value");
      return arguments[++i];
    };
    if (a == "--json") {
      options.Json = true;
    } else if (a == "--csv") {
      options.CsvDir = value();
    } else if (a == "--csv-raw") {
      options.CsvRaw = true;
    } else if (a == "--weekday") {
      options.Weekday = true;
    } else if (a == "--per-user") {
      options.PerUser = true;
    } else if (a == "--time-area") {
      const std::string& text = value();
      int minutes = 0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), minutes);
      if (ec != std::errc() || end != text.data() + text.size() || minutes < 1 || minutes > 59)
        throw EUsageError("--time-area takes minutes from 1 to 59, not '" + text + "'");
      options.TimeArea = minutes;
    } else if (a == "--settings") {
      options.SettingsFile = value();
    } else if (a == "--config") {
      options.ConfigDir = value();
    } else if (a == "--no-engine") {
      options.NoEngine = true;
    } else if (a == "--lock-words") {
      options.LockWordsFile = value();
    } else if (a == "--process") {
      options.Process = true;
    } else if (a == "--main-page") {
      options.MainPage = value();
    } else if (a == "--skip-bad-lines") {
      options.SkipBadLines = true;
    } else if (a == "--no-crawlers") {
      options.NoCrawlers = true;
    } else if (a == "--browser-versions") {
      options.BrowserVersions = true;
    } else if (a == "--classify-agents") {
      options.ClassifyAgents = true;
    } else if (a == "--help" || a == "-h") {
      options.Help = true;
    } else if (a == "--version") {
      options.Version = true;
    } else if (a == "--") {
      options.Files.insert(options.Files.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      throw EUsageError("unknown option " + a);
    } else {
      options.Files.push_back(a);
    }
  }
  if (options.ClassifyAgents && !options.Files.empty()) throw EUsageError("--classify-agents reads no log file");
  if (options.Files.empty() && !options.Help && !options.Version && !options.ClassifyAgents)
    throw EUsageError("no log file named");
  return options;
}
