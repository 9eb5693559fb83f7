#include "WebBrowserDlg.h"

#include "DialogUnits.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QIcon>
#include <QWebEngineView>

CWebBrowserDlg::CWebBrowserDlg(const QUrl& address, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_pBrowser(new QWebEngineView(this)),
      m_address(address) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(CStringTable::Load(IDS_PRODUCT_NAME));
  setWindowIcon(QIcon(QStringLiteral(":/icons/128.png")));
  setSizeGripEnabled(true);
  resize(CDialogUnits::Size(427, 303));
  m_pBrowser->setGeometry(CDialogUnits::Rect(7, 7, 413, 289));
  m_pBrowser->load(m_address);
}

CWebBrowserDlg* CWebBrowserDlg::OpenPage(const QUrl& address, bool smallWindow) {
  auto* dlg = new CWebBrowserDlg(address);
  if (smallWindow) {
    dlg->move(kSmallWindow.topLeft());
    dlg->resize(kSmallWindow.size());
  }
  dlg->show();
  return dlg;
}

void CWebBrowserDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The page fills the whole client area.
  m_pBrowser->setGeometry(rect());
}
