#pragma once

#include <QtGlobal>

// How long the desktop has had no keyboard or mouse input, in
// milliseconds, from the X server's screen-saver extension; -1 where the
// session is not an X11 one or the server does not say.
qint64 DesktopIdleTimeMs();
