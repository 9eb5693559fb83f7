#include "Alerts.h"

#include "EventSound.h"

#include <QWidget>

namespace {

constexpr long kNewVisitorSeconds = 9;

}  // namespace

CAlerts::CAlerts(QWidget* console) : QObject(console), m_pConsole(console) {}

bool CAlerts::IsConsoleVisible() const { return m_pConsole && m_pConsole->isVisible() && !m_pConsole->isMinimized(); }

bool CAlerts::IsNewVisitor(const QString& duration) {
  QString digits = duration;
  digits.remove(u':');
  bool ok = false;
  const long value = digits.toLong(&ok);
  // A duration that is no number at all says nothing about a new visitor.
  return ok && value >= 0 && value < kNewVisitorSeconds;
}

void CAlerts::HandleSoundName(const QString& name, bool bOnline) {
  if (name.isEmpty()) return;
  if (bOnline && name == QStringLiteral("sound1")) {
    PlayEventSound(EVENT_CHAT_REQUEST);
    if (!IsConsoleVisible()) emit ChatRequestWhileHidden();
    BringConsoleForward();
  } else if (bOnline && name == QStringLiteral("sound2")) {
    PlayEventSound(EVENT_CHAT_REQUEST_BUSY);
  } else if (name == QStringLiteral("sound3")) {
    PlayEventSound(EVENT_MESSAGE_FROM_CSR);
  } else if (name == QStringLiteral("NewVisitor")) {
    PlayEventSound(EVENT_NEW_VISITOR);
  } else if (name == QStringLiteral("chat_tran_snd")) {
    PlayEventSound(EVENT_CHAT_TRANSFER);
  }
}

void CAlerts::VisitorSeen(const QString& duration) {
  if (IsNewVisitor(duration)) PlayEventSound(EVENT_NEW_VISITOR);
}

void CAlerts::ChatRequestInOperatorsView() { PlayEventSound(EVENT_CHAT_REQUEST); }

void CAlerts::BringConsoleForward() {
  if (!m_pConsole) return;
  m_pConsole->showNormal();
  m_pConsole->raise();
  m_pConsole->activateWindow();
}
