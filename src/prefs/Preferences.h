#pragma once

#include <QString>
#include <QStringList>

// The process-wide preference cache: the sound of each alert event, spell
// checking and always-on-top. It is filled from the settings store on first
// use; LoadPreferences() fills it again.

constexpr int kEventCount = 7;

void LoadPreferences();

// "Default" (or empty), "None" or the path of a WAV file, for event 0 to 6.
QString EventSoundSetting(int nEvent);
// The cache's copy of all seven event sounds (used by the preferences
// dialog, which stores them itself).
void SetEventSoundSettings(const QStringList& sounds);

bool IsSpellCheckEnabled();
void SetSpellCheck(bool bOn);
bool IsAlwaysOnTop();
void SetAlwaysOnTop(bool bOn);
