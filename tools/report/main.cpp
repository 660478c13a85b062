// trevalo-report: Trevalo's analyses from the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "Report.h"
#include "base/OutputFolder.h"
#include "base/VisibleText.h"

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
  // The CSV folder is checked, and the new set's folder made beside it, before any work.
  std::unique_ptr<TOutputFolder> csv;
  if (!options.CsvDir.empty()) {
    InstallOutputCleanup();
    try {
      csv = std::make_unique<TOutputFolder>(options.CsvDir, ReportCsvNames());
    } catch (const std::exception& e) {
      std::cerr << "trevalo-report: " << EscapeControls(e.what()) << "\n";
      return 2;
    }
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
    if (outcome == TReportOutcome::RunError) std::cerr << "error: " << EscapeControls(data.Error) << "\n";
    // Each output is written whether or not the other one could be.
    bool csvWritten = true;
    if (csv) {
      try {
        WriteReportCsv(data, *csv, options.CsvRaw ? TCsvCells::Exact : TCsvCells::SpreadsheetSafe);
        csv->Commit();
      } catch (const std::exception& e) {
        std::cerr << "error: " << EscapeControls(e.what()) << "\n";
        csvWritten = false;
      }
      csv.reset();
    }
    const bool written = options.Json ? WriteReportJson(data, stdout) : WriteReportText(data, stdout);
    if (!written || std::fflush(stdout) != 0) {
      std::cerr << "error: the output could not be written: " << std::strerror(errno) << "\n";
      return 1;
    }
    if (outcome != TReportOutcome::Ok || !csvWritten) return 1;
    return data.Warnings.empty() ? 0 : 4;
  } catch (const std::exception& e) {
    // Errors before the run: the settings file or the configuration could not be read.
    std::cerr << "error: " << EscapeControls(e.what()) << "\n";
    return 1;
  }
}
