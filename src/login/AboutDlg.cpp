#include "AboutDlg.h"

#include "AppIdentity.h"
#include "DialogUnits.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Talvero"));
  setWindowIcon(AppIcon());
  setFixedSize(CDialogUnits::Size(235, 55));
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(32, 32));
  icon->setGeometry(CDialogUnits::Rect(11, 17, 20, 20));
  auto* version = new QLabel(VersionLine() + QStringLiteral("\nLive chat console for support operators"), this);
  version->setGeometry(CDialogUnits::Rect(40, 10, 119, 30));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(CDialogUnits::Rect(178, 7, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString CAboutDlg::VersionLine() { return QStringLiteral("Talvero Version " TALVERO_VERSION); }
