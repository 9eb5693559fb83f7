#pragma once

#include <QString>
#include <QUrl>

// The seven alert events, in the order of their settings "0" to "6".
enum SoundEvent : int {
  EVENT_CHAT_TRANSFER = 0,
  EVENT_CHAT_REQUEST = 1,
  EVENT_MESSAGE_FROM_CSR = 2,
  EVENT_NEW_CHAT_LINE = 3,
  EVENT_NEW_VISITOR = 4,
  EVENT_CHAT_REQUEST_BUSY = 5,
  EVENT_CONNECTION_FAILURE = 6,
};

// The name of the event as the preferences list shows it.
QString EventName(int nEvent);
// The built-in WAVE resource of the event (140, 143, 140, 154, 168, 141, 301).
int DefaultWave(int nEvent);
// The address of a built-in sound, "qrc:/sounds/<id>.wav".
QUrl BuiltInSound(int nWaveId);

// Plays the operator's sound for the event: the built-in sound for
// "Default" or empty, nothing for "None", else the file at the given path.
// A file that is missing or no playable WAV would play nothing at all, so
// the event's built-in sound plays instead. Returns at once; a new sound
// cuts the one playing.
void PlayEventSound(int nEvent);
// The same for a setting that is not stored yet (the preferences' Test).
void PlayEventSoundSetting(int nEvent, const QString& sound);
