#include "AppIdentity.h"

namespace {

// The built-in picture in every size a window manager, a task bar or a tray
// asks for, so that none is blown up from a smaller one on a dense screen.
QIcon BuiltInIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/128.png"));
  icon.addFile(QStringLiteral(":/icons/128@2x.png"));
  for (const int size : {16, 24, 48, 128, 256}) icon.addFile(QStringLiteral(":/icons/hicolor/%1.png").arg(size));
  return icon;
}

}  // namespace

QIcon AppIcon() {
  static const QIcon builtIn = BuiltInIcon();
  return QIcon::fromTheme(QLatin1StringView(kDesktopId), builtIn);
}
