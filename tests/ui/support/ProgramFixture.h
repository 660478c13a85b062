#pragma once
// A program folder in a temporary directory: a copy of the installed configuration, the
// settings in memory, scripted dialogs, a fake host lookup and locale-free formatting, and
// the settings module over them. Nothing touches the user's settings or program folder.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/WSGlobal.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

namespace uitest {

class TProgramFixture {
public:
  explicit TProgramFixture(bool withMainKey = true) {
    namespace fs = std::filesystem;
    fs::copy(TREVALO_INSTALLED_CONFIG, Dir.Path() / "config", fs::copy_options::recursive);
    for (const char* list : {"FileList.lst", "BaneWords.lst"}) fs::remove(Dir.Path() / "config" / list);
    if (withMainKey) Store.CreateKey(MainKey);
    Globals = std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/");
  }

  std::string ConfigFile(const std::string& name) const { return (Dir.Path() / "config" / name).string(); }

  // A list file of config/ with CR LF line ends.
  void WriteList(const std::string& name, const std::vector<std::string>& entries) const {
    std::string text;
    for (const auto& entry : entries) text += entry + "\r\n";
    testsupport::WriteBytes(ConfigFile(name), text);
  }

  // A log file in the temporary folder, listed as the only input file.
  std::string UseLog(const std::vector<std::string>& lines, const std::string& name = "access.log") const {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    const std::string path = Dir.File(name);
    testsupport::WriteBytes(path, text);
    WriteList("FileList.lst", {path});
    return path;
  }

  void SetMainPage(const std::string& page) { Globals->WriteRegString("MainPage", page); }

  // Boxes of the error kind shown so far.
  std::vector<std::string> Errors() const { return Dialogs.TextsOf("error"); }

  testsupport::TTempDir Dir;
  testsupport::TFakeDialogs Dialogs;
  testsupport::TMemorySettingsStore Store;
  testsupport::TFakeLocalFormat Format;
  testsupport::TFakeHostLookup HostLookup;
  std::unique_ptr<Tglobals> Globals;
};

// A small combined log: three visitors, two of them from search engines, over two days.
inline std::vector<std::string> SmallLog() {
  const std::string firefox = "\"Mozilla/5.0 (X11; Linux x86_64; rv:108.0) Gecko/20100101 Firefox/108.0\"";
  const std::string msie = "\"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\"";
  return {
      "10.0.0.1 - - [02/Jan/2023:10:00:00 +0000] \"GET /index.html HTTP/1.1\" 200 1000 "
      "\"http://www.google.com/search?q=red+shoes\" " + firefox,
      "10.0.0.1 - - [02/Jan/2023:10:02:00 +0000] \"GET /shop.html HTTP/1.1\" 200 2000 "
      "\"http://www.example.com/index.html\" " + firefox,
      "10.0.0.1 - - [02/Jan/2023:10:02:01 +0000] \"GET /img/logo.png HTTP/1.1\" 200 500 "
      "\"http://www.example.com/shop.html\" " + firefox,
      "10.0.0.2 - - [02/Jan/2023:11:00:00 +0000] \"GET /index.html HTTP/1.1\" 200 1000 "
      "\"http://www.bing.com/search?q=blue+hats\" " + msie,
      "10.0.0.2 - - [02/Jan/2023:11:01:00 +0000] \"GET /hats.html HTTP/1.1\" 404 300 \"-\" " + msie,
      "10.0.0.3 - - [03/Jan/2023:09:30:00 +0000] \"GET /index.html HTTP/1.1\" 200 1000 "
      "\"http://www.google.com/search?q=red+shoes\" " + firefox,
  };
}

// The small log repeated until it has at least that many lines, for runs that must yield.
inline std::vector<std::string> LongLog(std::size_t lines) {
  std::vector<std::string> result;
  const auto small = SmallLog();
  while (result.size() < lines) result.insert(result.end(), small.begin(), small.end());
  return result;
}

}  // namespace uitest
