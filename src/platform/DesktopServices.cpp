#include "DesktopServices.h"

#include <QtGlobal>

#include <atomic>

namespace {
std::atomic<CDesktopServices*> g_pServices{nullptr};
}

CDesktopServices& CDesktopServices::Get() {
  CDesktopServices* services = g_pServices.load();
  Q_ASSERT_X(services != nullptr, "CDesktopServices::Get", "no desktop services installed");
  return *services;
}

void CDesktopServices::Install(CDesktopServices* services) { g_pServices.store(services); }

QString CDesktopServices::AlertsWithoutTray() {
  return QStringLiteral("This desktop shows no tray icons: minimised, the console stays in the task bar, "
                        "and chat requests ring and come as desktop notifications with an Accept button.");
}
