#include "DesktopNotifier.h"

#include "AppIdentity.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kAccept = QStringLiteral("accept");
constexpr int kNeverExpires = 0;

}  // namespace

CDesktopNotifier::CDesktopNotifier() = default;

void CDesktopNotifier::Notify(const QString& key, const QString& title, const QString& text,
                              std::function<void()> accepted) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  if (!m_bListening) {
    m_bListening = bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                               SLOT(OnActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this, SLOT(OnClosed(uint, uint)));
  }
  // One question at a time per key: what comes meanwhile waits for the
  // answer's id, so that it replaces the notification instead of adding one.
  if (m_pending.contains(key)) {
    m_queued.insert(key, {title, text, std::move(accepted)});
    return;
  }
  QDBusInterface notifications(kService, kPath, kService, bus);
  const uint replaces = m_ids.value(key, 0);
  // The body is marked up by some servers: the visitor's text goes in escaped.
  // A request waits until it is taken: the notification does not expire.
  // Asked without waiting: a notification service that does not answer
  // must not hold the console.
  const QDBusPendingCall call = notifications.asyncCall(
      QStringLiteral("Notify"), QStringLiteral("Talvero"), replaces, QString::fromLatin1(kDesktopId), title,
      text.toHtmlEscaped(), QStringList{kAccept, QStringLiteral("Accept")},
      QVariantMap{{QStringLiteral("desktop-entry"), QString::fromLatin1(kDesktopId)}}, kNeverExpires);
  const quint64 sequence = ++m_nSequence;
  m_pending.insert(key, sequence);
  auto* watcher = new QDBusPendingCallWatcher(call, this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, key, sequence, replaces, accepted = std::move(accepted)](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<uint> reply = *finished;
            // Withdrawn while the service was asked: it goes at once.
            const bool current = m_pending.value(key) == sequence;
            if (current) m_pending.remove(key);
            if (reply.isError()) {
              m_queued.remove(key);
              return;
            }
            if (!current) {
              Close(reply.value());
              return;
            }
            m_shown.remove(replaces);
            m_shown.insert(reply.value(), {key, accepted});
            m_ids.insert(key, reply.value());
            const auto queued = m_queued.find(key);
            if (queued == m_queued.end()) return;
            Queued next = std::move(*queued);
            m_queued.erase(queued);
            Notify(key, next.title, next.text, std::move(next.accepted));
          });
}

void CDesktopNotifier::Close(uint id) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected())
    QDBusInterface(kService, kPath, kService, bus).call(QDBus::NoBlock, QStringLiteral("CloseNotification"), id);
}

void CDesktopNotifier::Withdraw(const QString& key) {
  m_pending.remove(key);
  m_queued.remove(key);
  const uint id = m_ids.take(key);
  if (id == 0) return;
  m_shown.remove(id);
  Close(id);
}

void CDesktopNotifier::OnActionInvoked(uint id, const QString& action) {
  const auto it = m_shown.find(id);
  if (it == m_shown.end() || action != kAccept) return;
  const std::function<void()> accepted = it->accepted;
  m_ids.remove(it->key);
  m_shown.erase(it);
  if (accepted) accepted();
}

void CDesktopNotifier::OnClosed(uint id, uint) {
  const auto it = m_shown.find(id);
  if (it == m_shown.end()) return;
  m_ids.remove(it->key);
  m_shown.erase(it);
}
