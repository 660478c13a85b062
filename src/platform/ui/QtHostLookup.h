#pragma once
// Reverse lookups through QHostInfo; completions arrive through the event loop of the thread
// this object lives on (the user-interface thread). Destroying the object, or CancelAll,
// drops every pending completion, so its owner must not outlive the receivers it serves.
#include <QHostInfo>
#include <QObject>
#include <QSet>

#include "platform/HostLookup.h"

class TQtHostLookup : public QObject, public IHostLookup {
  Q_OBJECT
public:
  // Nonzero completion codes.
  static constexpr int NoNameError = 1;      // the address has no name registered
  static constexpr int LookupFailedError = 2;  // the resolver failed

  explicit TQtHostLookup(QObject* parent = nullptr);
  ~TQtHostLookup() override;

  // Starts nothing and calls `failed` at once when address is not a dotted IPv4 address.
  void StartReverseLookup(const std::string& address, TDone done, TStartFailed failed) override;
  void CancelAll();
  int PendingCount() const { return static_cast<int>(FPending.size()); }

  // The completion code of an answer, and the name on success. QHostInfo answers an address
  // without a name with no error and the address itself as the name.
  static int ResultOf(const QHostInfo& info, const QString& address, std::string& name);

private:
  QSet<int> FPending;
};
