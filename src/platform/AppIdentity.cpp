#include "AppIdentity.h"

QIcon AppIcon() {
  static const QIcon builtIn(QStringLiteral(":/icons/128.png"));
  return QIcon::fromTheme(QLatin1StringView(kDesktopId), builtIn);
}
