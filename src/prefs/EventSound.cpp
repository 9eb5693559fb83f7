#include "EventSound.h"

#include "DesktopServices.h"
#include "Preferences.h"
#include "ResourceIds.h"
#include "WaveFile.h"

namespace {

struct EventInfo {
  const char* name;
  int wave;
};

const EventInfo kEvents[kEventCount] = {
    {"Chat Transfer", IDW_CHAT_TRANSFER},
    {"Chat Request", IDW_CHAT_REQUEST},
    {"Message from CSR", IDW_CHAT_TRANSFER},
    {"New Message in Chat", IDW_NEW_CHAT_LINE},
    {"New Visitor", IDW_NEW_VISITOR},
    {"Chat Request (When busy in Chatting)", IDW_CHAT_REQUEST_BUSY},
    {"Internet Connection Failure", IDW_CONNECTION_FAILURE},
};

bool IsEvent(int nEvent) { return nEvent >= 0 && nEvent < kEventCount; }

}  // namespace

QString EventName(int nEvent) { return IsEvent(nEvent) ? QString::fromLatin1(kEvents[nEvent].name) : QString(); }

int DefaultWave(int nEvent) { return IsEvent(nEvent) ? kEvents[nEvent].wave : 0; }

QUrl BuiltInSound(int nWaveId) { return QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(nWaveId)); }

void PlayEventSound(int nEvent) {
  if (IsEvent(nEvent)) PlayEventSoundSetting(nEvent, EventSoundSetting(nEvent));
}

void PlayEventSoundSetting(int nEvent, const QString& sound) {
  if (!IsEvent(nEvent) || sound == QStringLiteral("None")) return;
  const bool builtIn = sound.isEmpty() || sound == QStringLiteral("Default") || !IsPlayableWave(sound);
  CDesktopServices::Get().PlaySound(builtIn ? BuiltInSound(DefaultWave(nEvent)) : QUrl::fromLocalFile(sound));
}
