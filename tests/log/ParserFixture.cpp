#include "ParserFixture.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace parsertest {

std::string TableText(const std::string& header, std::initializer_list<std::string> records) {
  std::string text = header + "\r\n";
  for (const std::string& record : records) text += record + "\r\n";
  return text;
}

TParserSetup::TParserSetup(std::initializer_list<std::string> replaceRecords) {
  std::filesystem::create_directories(Dir.Path() / "config" / "LogTypes");
  WriteConfig("replace.lac", TableText("'hexChar';'search';'replace'", replaceRecords));
  WriteConfig("spare.lac", TableText("'spareText'", {"'the'"}));
  WriteConfig("errorcodes.lac", TableText("'Index';'Text'", {"200;'OK'"}));
  WriteConfig("search.txt", TableText("'machine';'text'", {"'google';'q='"}));
  Globals = std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/");
}

void TParserSetup::WriteConfig(const std::string& name, const std::string& text) const {
  testsupport::WriteBytes(ConfigDir() + name, text);
}

void TParserSetup::WriteLogType(const std::string& name, const std::string& text) const {
  testsupport::WriteBytes(ConfigDir() + "LogTypes/" + name, text);
}

std::string TParserSetup::WriteLog(const std::string& name, const std::string& text) const {
  const std::string path = Dir.File(name);
  testsupport::WriteBytes(path, text);
  return path;
}

std::unique_ptr<TDSearchPattern> TParserSetup::NewParser() {
  return std::make_unique<TDSearchPattern>(*Globals, Dialogs, ConfigDir());
}

std::unique_ptr<TDSearchPattern> TParserSetup::ParserFor(const std::string& firstLine) {
  auto parser = NewParser();
  EXPECT_TRUE(parser->SelectLogType({WriteLog("first.log", firstLine + "\r\n")})) << firstLine;
  return parser;
}

}  // namespace parsertest
