// The settings store file over arbitrary bytes. A file that cannot be understood must raise
// on every operation and stay as it is; one that can must take writes and give them back.
//
// Input: byte 0 steers the operations, the rest is the file.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "config/SettingsFile.h"

using fuzzsupport::Fail;

namespace {

const std::array<std::string, 6> Keys = {"Software\\Orvanta\\Trevalo", "software\\ORVANTA", "\\A\\\\b\\", "",
                                         "Software\\Orvanta\\Trevalo\\Dialogs\\Open", "keys"};
const std::array<std::string, 5> Names = {"MainPage", "TimeArea", "\\DirConfig", "", "mainpage"};
const std::array<TRegValue, 5> Values = {TRegValue(std::string("/")), TRegValue(std::int32_t{5}),
                                         TRegValue(std::string("a \"b\" \\ \x01 \xc3\xa9")),
                                         TRegValue(std::int32_t{-2147483647 - 1}), TRegValue(std::string())};

// One operation; false when the store refused it as damaged.
bool Operate(TSettingsFile& store, fuzzsupport::TSteer& steer) {
  const std::string& key = Keys[steer.Next(Keys.size())];
  const std::string& name = Names[steer.Next(Names.size())];
  try {
    switch (steer.Next(4)) {
      case 0: store.KeyExists(key); break;
      case 1: store.ReadValue(key, name); break;
      case 2:
        store.CreateKey(key);
        if (!store.KeyExists(key)) Fail("a key created does not exist");
        break;
      default: {
        const TRegValue& value = Values[steer.Next(Values.size())];
        if (store.WriteValue(key, name, value) && store.ReadValue(key, name) != value)
          Fail("a value written reads back otherwise");
      }
    }
  } catch (const ESettingsError&) {
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const std::string path = [] {
    std::filesystem::create_directories(fuzzsupport::WorkDir() + "xdg/trevalo");
    return fuzzsupport::WorkDir() + "xdg/trevalo/settings.json";
  }();
  const std::string_view content(reinterpret_cast<const char*>(data) + 1, size - 1);
  fuzzsupport::WriteFile(path, content);
  if (TSettingsFile::DefaultPath() != path) Fail("the settings file is not the private one");

  TSettingsFile store(path);
  fuzzsupport::TSteer steer(data[0]);
  const bool readable = Operate(store, steer);
  for (int i = 0; i < 3 && readable; ++i)
    if (!Operate(store, steer)) Fail("a store that was read became damaged");
  if (!readable) {
    if (Operate(store, steer)) Fail("a damaged store was read the second time");
    if (fuzzsupport::ReadFile(path) != content) Fail("a damaged settings file was changed");
  }
  return 0;
}
