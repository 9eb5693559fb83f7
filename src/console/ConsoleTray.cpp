#include "ConsoleTray.h"

#include "AppIdentity.h"
#include "DesktopServices.h"
#include "Preferences.h"
#include "SettingsStore.h"

#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace {

// Set once the operator was told where alerts appear without a tray.
const QString kToldValue = QStringLiteral("NoTrayTold");

}  // namespace

CConsoleTray::CConsoleTray(QWidget* console, std::function<void()> restore, std::function<void(bool)> logOut)
    : QObject(console), m_pConsole(console), m_restore(std::move(restore)), m_pMenu(new QMenu(console)) {
  QAction* show = m_pMenu->addAction(QStringLiteral("Show &Dialog"), this, [this] { m_restore(); });
  m_pMenu->setDefaultAction(show);
  AddAlwaysOnTop(m_pMenu);
  m_pMenu->addAction(QStringLiteral("&LogOut"), this, [logOut] { logOut(true); });
  m_pMenu->addAction(QStringLiteral("E&xit"), this, [logOut] { logOut(false); });
  // Grayed while there is nothing to show.
  connect(m_pMenu, &QMenu::aboutToShow, this, [this, show] {
    show->setEnabled(m_pConsole && (!m_pConsole->isVisible() || m_pConsole->isMinimized()));
  });
}

void CConsoleTray::Show() {
  CDesktopServices& desktop = CDesktopServices::Get();
  if (!desktop.IsTrayAvailable()) {
    TellWhereAlertsAppear();
    return;
  }
  // Online only once the service says so.
  desktop.ShowTrayIcon(Picture(false, 0), ToolTip(false, 0), m_pMenu, [this] { m_restore(); });
}

void CConsoleTray::TellWhereAlertsAppear() {
  // Once for these settings: an operator who was told once knows it, and a
  // note at every log-in would only be clicked away.
  CSettingsStore store;
  if (store.ReadText(CSettingsStore::kRootKey, kToldValue) == QStringLiteral("1")) return;
  store.WriteText(CSettingsStore::kRootKey, kToldValue, QStringLiteral("1"));
  CDesktopServices::Get().ShowWarning(kToldValue, CDesktopServices::AlertsWithoutTray(), QStringLiteral("Alerts - Talvero"),
                                      CDesktopServices::Icon::Information, nullptr);
}

namespace {

// The tray picture at one size (in device pixels): the program's icon of that
// size, grey while offline, with the badge scaled to it.
QPixmap TrayPicture(int size, bool bOnline, int waiting) {
  constexpr int kDesign = 32;  // the badge is laid out for 32 pixels
  QPixmap picture = AppIcon().pixmap(QSize(size, size), 1.0);
  if (!bOnline) {
    QImage grey = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
      for (int x = 0; x < grey.width(); ++x) {
        const int g = qGray(line[x]) / 2 + 96;
        line[x] = qRgba(g, g, g, qAlpha(line[x]));
      }
    }
    picture = QPixmap::fromImage(grey);
  }
  if (waiting > 0) {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(picture.width()) / kDesign, qreal(picture.height()) / kDesign);
    const QRect badge(kDesign / 2 - 2, kDesign / 2 - 2, kDesign / 2 + 2, kDesign / 2 + 2);
    painter.setPen(Qt::white);
    painter.setBrush(QColor(210, 0, 0));
    painter.drawEllipse(badge.adjusted(0, 0, -1, -1));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(waiting > 9 ? 11 : 14);
    painter.setFont(font);
    painter.drawText(badge, Qt::AlignCenter, waiting > 9 ? QStringLiteral("9+") : QString::number(waiting));
  }
  return picture;
}

}  // namespace

QIcon CConsoleTray::Picture(bool bOnline, int waiting) {
  // Every size a tray asks for, on any screen density, drawn rather than
  // scaled from one size.
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64}) icon.addPixmap(TrayPicture(size, bOnline, waiting));
  return icon;
}

QString CConsoleTray::ToolTip(bool bOnline, int waiting, bool bConnectionAlert) {
  QString tip = bOnline ? QStringLiteral("Talvero Online") : QStringLiteral("Talvero Offline");
  if (bConnectionAlert) tip += QStringLiteral("\nNo connection to the service");
  if (waiting == 1) tip += QStringLiteral("\n1 chat request waiting");
  if (waiting > 1) tip += QStringLiteral("\n%1 chat requests waiting").arg(waiting);
  return tip;
}

void CConsoleTray::Remove() { CDesktopServices::Get().RemoveTrayIcon(); }

QAction* CConsoleTray::AddAlwaysOnTop(QMenu* menu) {
  QAction* top = menu->addAction(QStringLiteral("Always on top"), menu, [] { SetAlwaysOnTop(!IsAlwaysOnTop()); });
  top->setCheckable(true);
  top->setChecked(IsAlwaysOnTop());
  QObject::connect(&CPreferences::Instance(), &CPreferences::AlwaysOnTopChanged, top, &QAction::setChecked);
  return top;
}
