#include "LinkOpener.h"

#include <QDesktopServices>

namespace {
CLinkOpener::Opener& Hook() {
  static CLinkOpener::Opener hook;
  return hook;
}
}  // namespace

void CLinkOpener::SetOpener(Opener opener) { Hook() = std::move(opener); }

QUrl CLinkOpener::SafeTarget(const QString& target) {
  QString text = target.trimmed();
  if (text.isEmpty()) return {};
  if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) text.prepend(QLatin1String("http://"));
  const QUrl url(text, QUrl::StrictMode);
  if (!url.isValid()) return {};
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"))
    return url.host().isEmpty() ? QUrl() : url;
  if (scheme == QLatin1String("mailto")) return url.path().isEmpty() ? QUrl() : url;
  return {};
}

bool CLinkOpener::Open(const QString& target) {
  const QUrl url = SafeTarget(target);
  if (!url.isValid()) return false;
  if (Hook()) return Hook()(url);
  return QDesktopServices::openUrl(url);
}
