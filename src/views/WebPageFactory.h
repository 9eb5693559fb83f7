#pragma once

#include <QtGlobal>
#include <QtPlugin>

#include <functional>

class QString;
class QUrl;
class QWidget;

// What a page view asks of the window it is in. The window outlives its
// view: it deletes the view before it goes itself.
class CWebPageHost {
 public:
  virtual ~CWebPageHost() = default;

  // An address the page wanted that is not shown here (only web addresses
  // are): the window says so.
  virtual void Refuse(const QUrl& address) = 0;
  // A mail address the page opens: it goes out by the program's rule for
  // outside addresses.
  virtual void OpenMail(const QUrl& address) = 0;
  // The page asks for a new window (a link with a target, window.open
  // after a click, "Open in new window"): the new window's view, made by
  // the same factory and empty, or nullptr.
  virtual QWidget* OpenWindow() = 0;
  // The page's own title, once it has one ("" for a page without one).
  virtual void ShowTitle(const QString& title) = 0;

  // A download: the file the operator chose to save it as, or "" when it
  // is not to be saved.
  virtual QString AskWhereToSave(const QString& suggestedName) = 0;
  // Its progress (total -1 while unknown) and end, each download by the
  // number given at its start; cancel stops it while it runs.
  virtual void DownloadStarted(int download, const QString& path, std::function<void()> cancel) = 0;
  virtual void DownloadProgress(int download, qint64 received, qint64 total) = 0;
  virtual void DownloadEnded(int download, bool bSaved, const QString& reason) = 0;
};

// What the server-page module offers: a view of one page. The module is the
// only part of the program that links the web engine, and it is loaded when
// the first server page window opens (see CWebEngineLoader), so a console
// that shows no server page never starts the engine nor maps its libraries.
//
// Every view keeps to one policy: only http and https load in it; a mail
// address goes to the host; any other address is refused and the host told;
// a script opens no window without a click; a download is saved only where
// the host's operator chose.
class CWebPageFactory {
 public:
  virtual ~CWebPageFactory() = default;

  // A new view, a child of parent, loading address (nothing when it is
  // empty), serving host. When the last view is gone the module drops its
  // profile and caches on its own.
  virtual QWidget* CreateView(const QUrl& address, QWidget* parent, CWebPageHost* host) = 0;
  // The title of the page a view shows ("" before it has one).
  virtual QString Title(const QWidget* view) const = 0;
  // Views alive now.
  virtual int ViewCount() const = 0;
};

#define CWebPageFactory_iid "org.talvero.WebPageFactory/3"
Q_DECLARE_INTERFACE(CWebPageFactory, CWebPageFactory_iid)
