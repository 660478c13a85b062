// Search phrases of referrers and the escape and replacement helpers beneath them, with the
// installed engine, replacement and spare-word tables.
//
// Input: byte 0 holds flags; the rest is cut at bytes 0x01 into a referrer, a parameter or
// search text, a replacement text, an escape character, and then replacement rows (search
// 0x02 replace, at most 8 rows) that are applied in a cascade and must keep to its bound.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "analyses/SearchLine.h"
#include "base/TextFunctions.h"
#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"
#include "support/Fakes.h"

using fuzzsupport::Fail;

namespace {

struct TSetup {
  testsupport::TMemorySettingsStore Store;
  TSilentDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;
  std::unique_ptr<TDSearchPattern> Parser;

  TSetup() {
    const std::string configDir = std::string(TREVALO_FUZZ_CONFIG) + "/";
    const std::string programDir = fuzzsupport::WorkDir() + "program/";
    Globals = std::make_unique<Tglobals>(Store, Dialogs, programDir, configDir);
    Parser = std::make_unique<TDSearchPattern>(*Globals, configDir);
    const std::string sample = fuzzsupport::WorkDir() + "first.log";
    fuzzsupport::WriteFile(sample,
                           "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200 1 \"-\" \"agent\"\r\n");
    if (!Parser->SelectLogType({sample})) Fail("the installed descriptions do not take a combined line");
  }
};

constexpr std::size_t MaxRows = 8;

std::vector<std::string_view> Parts(std::string_view input) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t cut = input.find('\x01');
    parts.push_back(input.substr(0, cut));
    if (cut == std::string_view::npos || parts.size() == 4 + MaxRows) break;
    input.remove_prefix(cut + 1);
  }
  if (parts.size() < 4) parts.resize(4);
  return parts;
}

// The rows after the first four parts: a cascade in which rows may feed each other.
std::vector<TReplaceRow> CascadeRows(const std::vector<std::string_view>& parts) {
  std::vector<TReplaceRow> rows;
  for (std::size_t i = 4; i < parts.size(); ++i) {
    const std::string_view row = parts[i];
    const std::size_t cut = row.find('\x02');
    rows.push_back({"", std::string(row.substr(0, cut)),
                    cut == std::string_view::npos ? std::string() : std::string(row.substr(cut + 1))});
  }
  return rows;
}

// However the rows feed each other, the text grows by at most the bound, and each row that
// stops is flagged.
void ExerciseCascade(std::string_view text, const std::vector<TReplaceRow>& rows) {
  std::vector<bool> stopped;
  const std::string result = ApplyReplaceTable(text, rows, &stopped);
  if (result.size() > text.size() + MaxReplacementGrowth) Fail("the replacement cascade outgrew its bound");
  if (!stopped.empty() && stopped.size() != rows.size()) Fail("the stopped rows are not one flag per row");
  for (const TReplaceRow& row : rows) {
    std::string out;
    if (ReplaceAllWithin(text, row.Search, row.Replace, text.size() + 64, out) && out.size() > text.size() + 64)
      Fail("ReplaceAllWithin passed its bound");
  }
}

void ExerciseText(std::string_view text, std::string_view search, std::string_view replace, std::string_view only,
                  const Tglobals& globals) {
  if (DecodeAllEscapes(text).size() > text.size()) Fail("decoding made a text longer");
  if (DecodeEscapes(text, only).size() > text.size()) Fail("decoding one character made a text longer");
  ReplaceFirst(text, search, replace);
  const std::string all = ReplaceAll(text, search, replace);
  // The search may stay only where ReplaceAll gave up and left the text as it was.
  if (!search.empty() && all.find(search) != std::string::npos && all != text)
    Fail("ReplaceAll left its search text in place");
  ApplyReplaceTable(text, globals.ReplaceRows());
  ApplyReplaceTable(text, {{std::string(only.substr(0, 1)), std::string(search), std::string(replace)}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TSetup setup;
  if (size < 1) return 0;
  const bool withHost = data[0] & 1;
  const auto parts = Parts(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  const std::string_view referrer = parts[0];
  TDSearchPattern& parser = *setup.Parser;

  parser.GetSearchPhrase(referrer, parts[1], withHost);
  parser.FindEngineParameter(referrer);
  parser.ExtractSearchWords(referrer, parts[1], withHost);
  parser.ExtractSearchWords(referrer, "q=", withHost);

  const std::string line = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /?a=b HTTP/1.0\" 200 1 \"" +
                           std::string(referrer) + "\" \"agent\"";
  parser.BeginLine(&line);
  try {
    SearchPhraseOfLine(line, parser, withHost);
  } catch (const ETDSearchPatternError&) {
    // a referrer with quotes splits into another number of fields
  }
  parser.BeginLine(nullptr);

  ExerciseText(referrer, parts[1], parts[2], parts[3], *setup.Globals);
  ExerciseCascade(referrer, CascadeRows(parts));
  return 0;
}
