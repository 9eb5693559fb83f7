#include "ServerWebPage.h"

#include "WebPageFactory.h"

#include <QUrl>
#include <QWebEngineView>

CServerWebPage::CServerWebPage(QWebEngineProfile* profile, CWebPageHost* host, QObject* parent)
    : QWebEnginePage(profile, parent), m_pHost(host) {}

bool CServerWebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) return true;
  // A new window starts empty, and so may a frame of the page.
  if (url.toString() == QLatin1String("about:blank")) return true;
  if (m_pHost == nullptr) return false;
  if (scheme == QLatin1String("mailto"))
    m_pHost->OpenMail(url);
  else
    m_pHost->Refuse(url);
  return false;
}

QWebEnginePage* CServerWebPage::createWindow(WebWindowType) {
  auto* view = m_pHost ? qobject_cast<QWebEngineView*>(m_pHost->OpenWindow()) : nullptr;
  return view ? view->page() : nullptr;
}
