#pragma once

#include "WebPageFactory.h"

#include <QObject>
#include <QPointer>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The server-page module: web engine views on one private, in-memory
// profile. The profile lives while any view does; with the last view gone
// it is deleted (the page's renderer process ends with it) and the freed
// memory handed back to the system, so that a console whose server pages
// are all closed keeps only what the engine cannot let go of: its browser
// side in this process, its two zygote processes and the loaded libraries.
class CWebPagePlugin : public QObject, public CWebPageFactory {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID CWebPageFactory_iid)
  Q_INTERFACES(CWebPageFactory)

 public:
  QWidget* CreateView(const QUrl& address, QWidget* parent, CWebPageHost* host) override;
  QString Title(const QWidget* view) const override;
  int ViewCount() const override { return m_nPages; }

 private:
  void MakeProfile();
  // A page's download: saved where its window's operator chose, or not at all.
  void Download(QWebEngineDownloadRequest* download);
  void PageGone();
  void ReleaseProfile();

  QPointer<QWebEngineProfile> m_pProfile;
  int m_nPages = 0;
  int m_nDownloads = 0;
};
