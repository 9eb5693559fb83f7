#include "WebBrowserDlg.h"

#include "AppIdentity.h"
#include "WindowUnits.h"
#include "WindowPlacement.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "WebEngineLoader.h"
#include "WebPageFactory.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QShortcut>

namespace {

QWidget* MakeReason(const QString& reason) {
  auto* label = new QLabel(QStringLiteral("This page cannot be shown: %1.").arg(reason));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignCenter);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return label;
}

QWidget* MakePageView(const QUrl& address) {
  QString error;
  if (CWebPageFactory* factory = CWebEngineLoader::Factory(&error)) return factory->CreateView(address, nullptr);
  return MakeReason(error);
}

}  // namespace

CWebBrowserDlg::CWebBrowserDlg(const QUrl& address, QWidget* parent)
    : CWebBrowserDlg(address, MakePageView(address), parent) {}

CWebBrowserDlg::CWebBrowserDlg(const QUrl& address, const QString& reason, QWidget* parent)
    : CWebBrowserDlg(address, MakeReason(reason), parent) {}

CWebBrowserDlg::CWebBrowserDlg(const QUrl& address, QWidget* view, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_pBrowser(view),
      m_address(address) {
  m_pBrowser->setParent(this);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(CStringTable::Load(IDS_PRODUCT_NAME));
  setWindowIcon(AppIcon());
  setSizeGripEnabled(true);
  const CWindowUnits du = CWindowUnits::Of(this);
  resize(du.Size(427, 303));
  m_pBrowser->setGeometry(du.Rect(7, 7, 413, 289));
  // Escape and Ctrl+W close a page window as they close a browser's tab. The
  // page view takes every key it is given, so they are the window's
  // shortcuts, seen before the view gets the key.
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &QWidget::close);
  }
}

QString CWebBrowserDlg::PageTitle() const {
  CWebPageFactory* factory = CWebEngineLoader::IsLoaded() ? CWebEngineLoader::Factory() : nullptr;
  return factory ? factory->Title(m_pBrowser) : QString();
}

CWebBrowserDlg* CWebBrowserDlg::OpenPage(const QUrl& address, bool smallWindow, bool quietly, const QRect& beside) {
  return Show(new CWebBrowserDlg(address), smallWindow, quietly, beside);
}

CWebBrowserDlg* CWebBrowserDlg::OpenNotice(const QUrl& address, bool smallWindow, bool quietly, const QString& reason,
                                           const QRect& beside) {
  return Show(new CWebBrowserDlg(address, reason), smallWindow, quietly, beside);
}

CWebBrowserDlg* CWebBrowserDlg::Show(CWebBrowserDlg* dlg, bool smallWindow, bool quietly, const QRect& beside) {
  dlg->setAttribute(Qt::WA_ShowWithoutActivating, quietly);
  if (smallWindow) {
    // Its fixed place is off a small screen: kept inside the screen's work area.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect place =
        screen ? CWindowPlacement::ClampTo(kSmallWindow, screen->availableGeometry(), kSmallWindow.size()) : kSmallWindow;
    dlg->move(place.topLeft());
    dlg->resize(place.size());
  } else if (beside.isValid()) {
    QScreen* screen = QGuiApplication::screenAt(beside.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      const QRect place = CWindowPlacement::Beside(beside, dlg->size(), screen->availableGeometry(),
                                                   CWindowUnits::Of(dlg).Size(183, 148));
      dlg->move(place.topLeft());
      dlg->resize(place.size());
    }
  }
  dlg->show();
  return dlg;
}

void CWebBrowserDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The page fills the whole client area.
  m_pBrowser->setGeometry(rect());
}
