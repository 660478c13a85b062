#include "support/ParserFixture.h"

#include <filesystem>
#include <stdexcept>

#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"

namespace testsupport {

std::string TCombinedLine::Text() const {
  return Ip + " - - [" + Date + "] \"" + Request + "\" " + Status + " " + Bytes + " \"" + Referrer + "\" \"" +
         Agent + "\"";
}

TParserFixture::TParserFixture() {
  std::filesystem::create_directories(Dir.Path() / "config" / "LogTypes");
  WriteConfig("LogTypes/combined.lf", CombinedDescription());
  WriteConfig("errorcodes.lac", TableText({{"Index", "Text"},
                                           {"0", "0 no status"},
                                           {"200", "200 OK"},
                                           {"304", "304 Not Modified"},
                                           {"404", "404 Not Found"},
                                           {"500", "500 Internal Server Error"}}));
  WriteConfig("replace.lac", TableText({{"hexChar", "search", "replace"}, {"", "+", " "}}));
  WriteConfig("spare.lac", TableText({{"spareText"}, {"and"}, {"the"}}));
  WriteConfig("search.txt", TableText({{"machine", "text"}, {"google", "q="}, {"yahoo", "p="}}));
}

TParserFixture::~TParserFixture() = default;

void TParserFixture::WriteConfig(const std::string& name, const std::string& text) {
  WriteBytes(ConfigDir() + name, text);
}

void TParserFixture::RemoveConfig(const std::string& name) { std::filesystem::remove(ConfigDir() + name); }

TDSearchPattern& TParserFixture::Start(const std::vector<std::string>& lines) {
  std::string log;
  for (const std::string& line : lines) log += line + "\r\n";
  WriteBytes(LogPath(), log);
  FParser.reset();
  FGlobals = std::make_unique<Tglobals>(Store, Dialogs, ProgramDir());
  FParser = std::make_unique<TDSearchPattern>(*FGlobals, ConfigDir());
  if (!FParser->SelectLogType({LogPath()})) throw std::runtime_error("no log-type description suits the test log");
  return *FParser;
}

Tglobals& TParserFixture::KeptGlobals() {
  if (!FGlobals) FGlobals = std::make_unique<Tglobals>(Store, Dialogs, ProgramDir());
  return *FGlobals;
}

std::unique_ptr<TDSearchPattern> TParserFixture::NewParser() {
  return std::make_unique<TDSearchPattern>(KeptGlobals(), ConfigDir());
}

std::unique_ptr<TDSearchPattern> TParserFixture::ParserFor(const std::string& firstLine) {
  auto parser = NewParser();
  if (!parser->SelectLogType({WriteLog("first.log", firstLine + "\r\n")}))
    throw std::runtime_error("no log-type description suits " + firstLine);
  return parser;
}

std::string TParserFixture::WriteLog(const std::string& name, const std::string& text) const {
  const std::string path = Dir.File(name);
  WriteBytes(path, text);
  return path;
}

Tglobals& TParserFixture::Globals() {
  if (!FGlobals) throw std::logic_error("TParserFixture: Start first");
  return *FGlobals;
}

TDSearchPattern& TParserFixture::Parser() {
  if (!FParser) throw std::logic_error("TParserFixture: Start first");
  return *FParser;
}

std::string TParserFixture::ProgramDir() const { return Dir.Path().string() + "/"; }

std::string TParserFixture::TableText(const std::vector<std::vector<std::string>>& rows) {
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += ';';
      text += '\'';
      for (char c : row[i]) {
        if (c == '%')
          text += "%%";
        else if (c == '\r')
          text += "%c";
        else if (c == '\n')
          text += "%n";
        else if (c == '\'')
          text += "''";
        else
          text += c;
      }
      text += '\'';
    }
    text += "\r\n";
  }
  return text;
}

std::string TParserFixture::TableLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string TParserFixture::CommonDescription() {
  return TableLines({"'Name';'LeftChar';'RightChar'", "'IP';;", "'user';;", "'auth';;", "'Date';'[';']'",
                     "'Request';'\"';'\"'", "'StatusCode';;", "'Bytes';;"});
}

std::string TParserFixture::CombinedDescription() {
  return TableText({{"Name", "LeftChar", "RightChar"},
                    {"IP", " ", " "},
                    {"user", " ", " "},
                    {"auth", " ", " "},
                    {"Date", "[", "]"},
                    {"Request", "\"", "\""},
                    {"StatusCode", " ", " "},
                    {"Bytes", " ", " "},
                    {"Referrer", "\"", "\""},
                    {"UserAgent", "\"", "\""}});
}

}  // namespace testsupport
