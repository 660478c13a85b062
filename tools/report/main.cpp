// trevalo-report: Trevalo's analyses from the command line.
#include <cstdio>
#include <iostream>

#include "Report.h"

int main(int argc, char** argv) {
  TReportOptions options;
  try {
    options = ParseReportOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const EUsageError& e) {
    std::cerr << "trevalo-report: " << e.what() << "\n" << ReportUsage;
    return 2;
  }
  if (options.Help) {
    std::cout << ReportUsage;
    return 0;
  }
  if (options.Version) {
    std::cout << "trevalo-report " << TREVALO_VERSION << "\n";
    return 0;
  }
  try {
    if (options.ClassifyAgents) {
      if (!ClassifyAgents(options, stdin, stdout) || std::fflush(stdout) != 0) {
        std::cerr << "error: the output could not be written\n";
        return 1;
      }
      return 0;
    }
    TReportData data;
    const TReportOutcome outcome = RunReport(options, data);
    if (outcome == TReportOutcome::NoLogType) return 3;
    if (outcome == TReportOutcome::RunError) std::cerr << "error: " << data.Error << "\n";
    if (!options.CsvDir.empty()) WriteReportCsv(data, options.CsvDir);
    const bool written = options.Json ? WriteReportJson(data, stdout) : WriteReportText(data, stdout);
    if (!written || std::fflush(stdout) != 0) {
      std::cerr << "error: the output could not be written\n";
      return 1;
    }
    return outcome == TReportOutcome::Ok ? 0 : 1;
  } catch (const std::exception& e) {
    // Errors before the run: the settings file or the configuration could not be read.
    std::cerr << "error: " << e.what() << "\n";
    return 1;
  }
}
