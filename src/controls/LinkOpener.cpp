#include "LinkOpener.h"

#include <QDesktopServices>
#include <QUrlQuery>

namespace {
CLinkOpener::Opener& Hook() {
  static CLinkOpener::Opener hook;
  return hook;
}

// A mail address keeps only what a message may be started with: other
// fields ("attach", "cc", "bcc", ...) could have the mail client attach a
// local file or copy the message to someone the operator never sees.
QUrl MailOnly(QUrl url) {
  if (!url.hasQuery()) return url;
  QUrlQuery kept;
  const QUrlQuery query(url);
  for (const auto& [name, value] : query.queryItems(QUrl::FullyEncoded)) {
    const QString field = name.toLower();
    if (field == QLatin1String("subject") || field == QLatin1String("body")) kept.addQueryItem(field, value);
  }
  if (kept.isEmpty())
    url.setQuery(QString());
  else
    url.setQuery(kept.query(QUrl::FullyEncoded), QUrl::StrictMode);
  return url;
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
  if (scheme == QLatin1String("mailto")) return url.path().isEmpty() ? QUrl() : MailOnly(url);
  return {};
}

bool CLinkOpener::Open(const QString& target) {
  const QUrl url = SafeTarget(target);
  if (!url.isValid()) return false;
  if (Hook()) return Hook()(url);
  return QDesktopServices::openUrl(url);
}
