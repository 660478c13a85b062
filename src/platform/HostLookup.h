#pragma once
// Asynchronous reverse name lookup of an IPv4 address. Start returns at once; exactly one
// completion follows later on the user-interface thread, or the error callback is called
// when the lookup cannot even be started.
#include <functional>
#include <string>

class IHostLookup {
public:
  // error 0: success, name is the host's official name; otherwise name is empty.
  using TDone = std::function<void(int error, const std::string& name)>;
  using TStartFailed = std::function<void()>;
  virtual ~IHostLookup() = default;
  virtual void StartReverseLookup(const std::string& address, TDone done, TStartFailed failed) = 0;
};
