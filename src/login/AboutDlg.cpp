#include "AboutDlg.h"

#include "AppIdentity.h"
#include "WindowUnits.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Talvero"));
  setWindowIcon(AppIcon());
  const CWindowUnits du = CWindowUnits::Of(this);
  setFixedSize(du.Size(235, 55));
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(32, 32));
  icon->setGeometry(du.Rect(11, 17, 20, 20));
  auto* version = new QLabel(VersionLine() + QStringLiteral("\nLive chat console for support operators"), this);
  // Its second line is longer than the template's width: it wraps, in the
  // room up to the button.
  version->setWordWrap(true);
  version->setGeometry(du.Rect(40, 7, 134, 41));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(du.Rect(178, 7, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString CAboutDlg::VersionLine() { return QStringLiteral("Talvero Version " TALVERO_VERSION); }
