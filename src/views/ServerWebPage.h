#pragma once

#include <QWebEnginePage>

class CWebPageHost;

// A server page in a view of ours, under the viewer's policy: only http and
// https load; a mail address goes to the host (and so out by the program's
// link rule); any other address is refused and the host says so; a new
// window the page asks for is one of the host's own windows.
class CServerWebPage : public QWebEnginePage {
  Q_OBJECT

 public:
  CServerWebPage(QWebEngineProfile* profile, CWebPageHost* host, QObject* parent);

  CWebPageHost* Host() const { return m_pHost; }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  CWebPageHost* m_pHost;
};
