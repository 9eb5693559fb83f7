#include "WebPagePlugin.h"

#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <malloc.h>

QWidget* CWebPagePlugin::CreateView(const QUrl& address, QWidget* parent) {
  // An off-the-record profile, as the engine's default one is; ours can be
  // deleted when no page is left.
  // Without a parent: should the program end with server pages open, the
  // engine shuts down before any owner of ours would delete the profile,
  // and a profile deleted after the engine crashes.
  if (!m_pProfile) m_pProfile = new QWebEngineProfile;
  auto* view = new QWebEngineView(parent);
  auto* page = new QWebEnginePage(m_pProfile, view);
  ++m_nPages;
  // The page, not the view, holds on to the profile, and it is deleted
  // after its view's destroyed signal.
  connect(page, &QObject::destroyed, this, &CWebPagePlugin::PageGone);
  view->setPage(page);
  view->load(address);
  return view;
}

QString CWebPagePlugin::Title(const QWidget* view) const {
  const auto* web = qobject_cast<const QWebEngineView*>(view);
  return web ? web->title() : QString();
}

void CWebPagePlugin::PageGone() {
  if (--m_nPages > 0) return;
  // Not from inside the page's destruction, while the engine may still be
  // taking the page down, but a moment later; a page opened meanwhile
  // keeps the profile.
  QTimer::singleShot(0, this, [this] {
    if (m_nPages == 0) ReleaseProfile();
  });
}

void CWebPagePlugin::ReleaseProfile() {
  delete m_pProfile;
  // The engine's freed heap goes back to the system instead of staying
  // reserved for the process's lifetime.
  QTimer::singleShot(0, this, [] { ::malloc_trim(0); });
}
