#include "DesktopNotifier.h"

#include "AppIdentity.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kAccept = QStringLiteral("accept");
constexpr int kShownMs = 15000;

}  // namespace

CDesktopNotifier::CDesktopNotifier() = default;

void CDesktopNotifier::Notify(const QString& title, const QString& text, std::function<void()> accepted) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  if (!m_bListening) {
    m_bListening = bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                               SLOT(OnActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this, SLOT(OnClosed(uint, uint)));
  }
  QDBusInterface notifications(kService, kPath, kService, bus);
  // The body is marked up by some servers: the visitor's text goes in escaped.
  const QDBusReply<uint> reply =
      notifications.call(QStringLiteral("Notify"), QStringLiteral("Talvero"), uint(0), QString::fromLatin1(kDesktopId),
                         title, text.toHtmlEscaped(), QStringList{kAccept, QStringLiteral("Accept")},
                         QVariantMap{{QStringLiteral("desktop-entry"), QString::fromLatin1(kDesktopId)}}, kShownMs);
  if (reply.isValid()) m_accepted.insert(reply.value(), std::move(accepted));
}

void CDesktopNotifier::OnActionInvoked(uint id, const QString& action) {
  const auto it = m_accepted.find(id);
  if (it == m_accepted.end() || action != kAccept) return;
  const std::function<void()> accepted = it.value();
  m_accepted.erase(it);
  if (accepted) accepted();
}

void CDesktopNotifier::OnClosed(uint id, uint) { m_accepted.remove(id); }
