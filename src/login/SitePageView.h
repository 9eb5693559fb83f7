#pragma once

#include <QTextBrowser>
#include <QUrl>

class CChatManager;

// A page of the service's web site in the login window: fetched with one GET
// through the request engine and shown as rich text, without a web engine.
// Nothing else is loaded for it (no pictures, style sheets or scripts, and
// never a local file a page names), and a clicked link opens in the
// desktop's browser by the rule for outside addresses.
class CSitePageView : public QTextBrowser {
  Q_OBJECT

 public:
  CSitePageView(CChatManager& engine, QWidget* parent = nullptr);

  // Fetches and shows the page; what a previous fetch brings later is dropped.
  void Load(const QUrl& address);
  // Empties the view and drops any fetch still out.
  void Clear();
  const QUrl& Address() const { return m_address; }

  // The absolute address of a link of the page at base.
  static QUrl LinkTarget(const QUrl& base, const QUrl& link);

 signals:
  // The page arrived (ok) or could not be fetched.
  void Loaded(bool ok);

 protected:
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  void OnLinkClicked(const QUrl& link);

  CChatManager& m_engine;
  QUrl m_address;
  quint64 m_nFetch = 0;  // the fetch whose page is wanted
};
