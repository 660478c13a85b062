#include "support/UiTest.h"

#include <QApplication>
#include <QTest>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace uitest {
namespace {

struct TRegistered {
  std::string Name;
  TFactory Factory;
};

std::vector<TRegistered>& Registry() {
  static std::vector<TRegistered> registry;
  return registry;
}

}  // namespace

int RegisterTestClass(const char* name, TFactory factory) {
  Registry().push_back({name, std::move(factory)});
  return 0;
}

}  // namespace uitest

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const auto& registry = uitest::Registry();

  // A first argument naming a class runs that class alone with the remaining arguments.
  if (argc > 1) {
    for (const auto& entry : registry) {
      if (entry.Name != argv[1]) continue;
      std::vector<char*> args{argv[0]};
      args.insert(args.end(), argv + 2, argv + argc);
      auto test = entry.Factory();
      return QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
    }
  }

  int failures = 0;
  for (const auto& entry : registry) {
    auto test = entry.Factory();
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
