#include "AwayWatch.h"

#include "DesktopServices.h"
#include "Preferences.h"
#include "Presence.h"

#include <QWidget>

CAwayWatch::CAwayWatch(CPresence& presence, QWidget* console) : QObject(console), m_presence(presence), m_pConsole(console) {
  connect(&m_timer, &QTimer::timeout, this, &CAwayWatch::Check);
  m_timer.start(kCheckMs);
}

void CAwayWatch::Check() {
  if (m_bAsking) return;
  const qint64 idleMs = CDesktopServices::Get().IdleTimeMs();
  if (m_bAway) {
    // The operator chose Online himself meanwhile: nothing to ask.
    if (!m_presence.IsManualOffline()) {
      m_bAway = false;
      emit CameBack();
    } else if (idleMs >= 0 && idleMs < kCheckMs) {
      AskBack();
    }
    return;
  }
  const int minutes = CPreferences::Instance().AwayMinutes();
  // An operator Offline by his own choice is not made Offline again.
  if (minutes <= 0 || idleMs < 0 || m_presence.IsManualOffline()) return;
  if (idleMs < qint64(minutes) * 60000) return;
  m_bAway = true;
  m_presence.ChooseOffline();
  emit WentAway(minutes);
}

void CAwayWatch::AskBack() {
  m_bAsking = true;
  // Asked over the console only: the chat windows keep taking input, and
  // the refresh and the polls go on while the question waits.
  const CDesktopServices::Answer answer = CDesktopServices::Get().MessageBox(
      m_pConsole, QStringLiteral("You were away, so Talvero went Offline. Go Online again?"), QStringLiteral("Talvero"),
      CDesktopServices::Icon::Question, CDesktopServices::Buttons::YesNo);
  m_bAsking = false;
  m_bAway = false;
  if (answer == CDesktopServices::Answer::Yes && m_presence.IsManualOffline()) m_presence.ChooseOnline();
  emit CameBack();
}
