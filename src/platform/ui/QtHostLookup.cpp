#include "platform/ui/QtHostLookup.h"

#include <QHostAddress>

#include <memory>
#include <utility>

TQtHostLookup::TQtHostLookup(QObject* parent) : QObject(parent) {}

TQtHostLookup::~TQtHostLookup() { CancelAll(); }

void TQtHostLookup::StartReverseLookup(const std::string& address, TDone done, TStartFailed failed) {
  const QString text = QString::fromStdString(address);
  QHostAddress parsed;
  if (!parsed.setAddress(text) || parsed.protocol() != QAbstractSocket::IPv4Protocol) {
    if (failed) failed();
    return;
  }
  // The id is known only after lookupHost returns; the answer always comes later, through
  // the event loop, and only while this object (the context) lives.
  const QString normalized = parsed.toString();
  auto id = std::make_shared<int>(-1);
  *id = QHostInfo::lookupHost(normalized, this, [this, id, normalized, done = std::move(done)](const QHostInfo& info) {
    FPending.remove(*id);
    std::string name;
    const int error = ResultOf(info, normalized, name);
    if (done) done(error, name);
  });
  FPending.insert(*id);
}

void TQtHostLookup::CancelAll() {
  for (int id : std::as_const(FPending)) QHostInfo::abortHostLookup(id);
  FPending.clear();
}

int TQtHostLookup::ResultOf(const QHostInfo& info, const QString& address, std::string& name) {
  name.clear();
  if (info.error() != QHostInfo::NoError) return info.error() == QHostInfo::HostNotFound ? NoNameError : LookupFailedError;
  const QString host = info.hostName();
  if (host.isEmpty() || host == address) return NoNameError;
  name = host.toStdString();
  return 0;
}
