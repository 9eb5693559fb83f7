#pragma once

#include <QIcon>

// The name the desktop knows the program by: the launcher entry is
// share/applications/<kDesktopId>.desktop, the icon theme holds its icon
// under the same name, and windows, the tray and notifications name it so
// that the desktop shows the launcher's name and icon for them.
inline constexpr char kDesktopId[] = "org.talvero.Console";

// The installed theme icon, or the built-in picture where the program runs
// uninstalled (from the build folder).
QIcon AppIcon();
