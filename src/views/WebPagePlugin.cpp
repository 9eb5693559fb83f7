#include "WebPagePlugin.h"

#include "ServerWebPage.h"

#include <QFileInfo>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <malloc.h>

QWidget* CWebPagePlugin::CreateView(const QUrl& address, QWidget* parent, CWebPageHost* host) {
  if (!m_pProfile) MakeProfile();
  auto* view = new QWebEngineView(parent);
  auto* page = new CServerWebPage(m_pProfile, host, view);
  ++m_nPages;
  // The page, not the view, holds on to the profile, and it is deleted
  // after its view's destroyed signal.
  connect(page, &QObject::destroyed, this, &CWebPagePlugin::PageGone);
  view->setPage(page);
  // Without a title of its own the engine names a page by its address,
  // which is not a caption.
  connect(page, &QWebEnginePage::titleChanged, view, [page, host](const QString& title) {
    host->ShowTitle(title == page->url().toString() || title == page->url().toDisplayString() ? QString() : title);
  });
  if (!address.isEmpty()) view->load(address);
  return view;
}

void CWebPagePlugin::MakeProfile() {
  // An off-the-record profile, as the engine's default one is; ours can be
  // deleted when no page is left.
  // Without a parent: should the program end with server pages open, the
  // engine shuts down before any owner of ours would delete the profile,
  // and a profile deleted after the engine crashes.
  m_pProfile = new QWebEngineProfile;
  QWebEngineSettings* settings = m_pProfile->settings();
  // A page's script opens windows only from a click, and hands an address
  // of another scheme to the desktop only from a click, which the pages'
  // own policy then refuses.
  settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
  settings->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowUnknownUrlSchemesFromUserInteraction);
  connect(m_pProfile, &QWebEngineProfile::downloadRequested, this, &CWebPagePlugin::Download);
}

void CWebPagePlugin::Download(QWebEngineDownloadRequest* download) {
  auto* page = qobject_cast<CServerWebPage*>(download->page());
  CWebPageHost* host = page ? page->Host() : nullptr;
  // Asked inside the signal: the engine cancels a download it was not
  // told to accept by the end of it.
  const QString path = host ? host->AskWhereToSave(download->suggestedFileName()) : QString();
  if (path.isEmpty()) {
    download->cancel();
    return;
  }
  const QFileInfo file(path);
  download->setDownloadDirectory(file.absolutePath());
  download->setDownloadFileName(file.fileName());
  const int number = ++m_nDownloads;
  // The page's window shows the download while it runs; closing the window
  // stops it (nobody would see it end).
  auto progress = [download, host, number] {
    host->DownloadProgress(number, download->receivedBytes(), download->totalBytes());
  };
  connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, page, progress);
  connect(download, &QWebEngineDownloadRequest::totalBytesChanged, page, progress);
  connect(download, &QWebEngineDownloadRequest::isFinishedChanged, page, [download, host, number] {
    const bool bSaved = download->state() == QWebEngineDownloadRequest::DownloadCompleted;
    host->DownloadEnded(number, bSaved,
                        download->state() == QWebEngineDownloadRequest::DownloadCancelled
                            ? QStringLiteral("cancelled")
                            : download->interruptReasonString());
  });
  connect(page, &QObject::destroyed, download, [download] {
    if (!download->isFinished()) download->cancel();
  });
  host->DownloadStarted(number, file.absoluteFilePath(), [download] { download->cancel(); });
  download->accept();
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
