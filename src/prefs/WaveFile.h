#pragma once

#include <QString>

// Whether the file is a WAV sound the sound player can play: a readable
// RIFF/WAVE file whose format chunk declares PCM or float samples. The
// player itself would only fail silently, so the alerts check first.
bool IsPlayableWave(const QString& path);
