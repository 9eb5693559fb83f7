#include "SitePageView.h"

#include "ChatManager.h"
#include "DesktopServices.h"
#include "LinkOpener.h"

CSitePageView::CSitePageView(CChatManager& engine, QWidget* parent) : QTextBrowser(parent), m_engine(engine) {
  // Links are ours to open, by the outside-address rule, never followed
  // inside the view.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setUndoRedoEnabled(false);
  connect(this, &QTextBrowser::anchorClicked, this, &CSitePageView::OnLinkClicked);
}

void CSitePageView::Load(const QUrl& address) {
  const quint64 fetch = ++m_nFetch;
  m_address = address;
  m_engine.FetchPage(address, this, [this, fetch](bool ok, const QString& text) {
    if (fetch != m_nFetch) return;  // overtaken by a later Load or Clear
    if (ok) setHtml(text);
    emit Loaded(ok);
  });
}

void CSitePageView::Clear() {
  ++m_nFetch;
  m_address = QUrl();
  clear();
}

QVariant CSitePageView::loadResource(int type, const QUrl& name) {
  // QTextBrowser would read files of the local disk that a page names
  // (pictures, style sheets); a page of the server has no business there,
  // and fetching its pictures is not worth a request each.
  return QVariant();
}

QUrl CSitePageView::LinkTarget(const QUrl& base, const QUrl& link) { return base.resolved(link); }

void CSitePageView::OnLinkClicked(const QUrl& link) {
  const QUrl target = CLinkOpener::SafeTarget(LinkTarget(m_address, link).toString(QUrl::FullyEncoded));
  if (target.isValid()) CDesktopServices::Get().OpenUrl(target);
}
