#include "WebPagePlugin.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <malloc.h>

QWidget* CWebPagePlugin::CreateView(const QUrl& address, QWidget* parent) {
  // An off-the-record profile, as the engine's default one is; ours can be
  // deleted when no page is left.
  if (!m_pProfile) m_pProfile = new QWebEngineProfile(this);
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
  // At once: the page has let go of the profile by now, and when windows
  // are deleted as the application ends, the engine itself goes next and
  // must not find a profile left.
  if (--m_nPages == 0) ReleaseProfile();
}

void CWebPagePlugin::ReleaseProfile() {
  delete m_pProfile;
  // The engine's freed heap goes back to the system instead of staying
  // reserved for the process's lifetime.
  ::malloc_trim(0);
}
