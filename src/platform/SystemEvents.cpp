#include "SystemEvents.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kNetwork = QStringLiteral("org.freedesktop.NetworkManager");
const QString kNetworkPath = QStringLiteral("/org/freedesktop/NetworkManager");

// NetworkManager's states (NMState).
constexpr uint kStateUnknown = 0;
constexpr uint kStateDisconnecting = 30;
constexpr uint kStateConnecting = 40;

}  // namespace

CSystemEvents::CSystemEvents(QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  // Only what the services themselves send counts: the bus names them.
  m_bListening = bus.connect(kLogin, kLoginPath, kLoginManager, QStringLiteral("PrepareForSleep"), this,
                             SLOT(OnPrepareForSleep(bool)));
  m_bListening = bus.connect(kNetwork, kNetworkPath, kNetwork, QStringLiteral("StateChanged"), this,
                             SLOT(OnNetworkState(uint))) || m_bListening;
  AskNetworkState();
}

bool CSystemEvents::IsReachableState(uint state, bool bBefore) {
  if (state == kStateUnknown || state == kStateConnecting) return bBefore;
  return state > kStateDisconnecting;
}

void CSystemEvents::AskNetworkState() {
  // Asked without waiting: a system bus that is slow to answer must not
  // hold the console's start.
  QDBusMessage ask = QDBusMessage::createMethodCall(kNetwork, kNetworkPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  ask << kNetwork << QStringLiteral("State");
  auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(ask, 5000), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *call;
    if (reply.isValid()) OnNetworkState(reply.value().variant().toUInt());
  });
}

void CSystemEvents::OnPrepareForSleep(bool bSleeping) {
  if (bSleeping)
    emit Sleeping();
  else
    emit Resumed();
}

void CSystemEvents::OnNetworkState(uint state) {
  const bool reachable = IsReachableState(state, m_bReachable);
  if (reachable == m_bReachable) return;
  m_bReachable = reachable;
  emit NetworkChanged(reachable);
}
