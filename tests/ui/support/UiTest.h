#pragma once
// Several QtTest classes in one program per area: each test file registers its class with
// TREVALO_UI_TEST, and the shared main runs them all under one QApplication.
//   test_ui_<area>                 every class
//   test_ui_<area> Class [args]    one class, with QtTest's own arguments (test functions, -v2 ...)
#include <QObject>

#include <functional>
#include <memory>

namespace uitest {

using TFactory = std::function<std::unique_ptr<QObject>()>;

// Returns a dummy value so that registration can run during static initialisation.
int RegisterTestClass(const char* name, TFactory factory);

}  // namespace uitest

#define TREVALO_UI_TEST(Class)                                                            \
  namespace {                                                                             \
  const int registered##Class =                                                           \
      uitest::RegisterTestClass(#Class, [] { return std::make_unique<Class>(); });        \
  }
