#pragma once

#include <QtPlugin>

class QUrl;
class QWidget;

// What the server-page module offers: a view of one page. The module is the
// only part of the program that links the web engine, and it is loaded when
// the first server page window opens (see CWebEngineLoader), so a console
// that shows no server page never starts the engine nor maps its libraries.
class CWebPageFactory {
 public:
  virtual ~CWebPageFactory() = default;

  // A new view, a child of parent, loading address. When the last view is
  // gone the module drops its profile and caches on its own.
  virtual QWidget* CreateView(const QUrl& address, QWidget* parent) = 0;
  // The title of the page a view shows ("" before it has one).
  virtual QString Title(const QWidget* view) const = 0;
  // Views alive now.
  virtual int ViewCount() const = 0;
};

#define CWebPageFactory_iid "org.talvero.WebPageFactory/1"
Q_DECLARE_INTERFACE(CWebPageFactory, CWebPageFactory_iid)
