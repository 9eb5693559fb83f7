#pragma once

#include "DesktopServices.h"
#include "SilentDesktop.h"

#include <QApplication>
#include <QTemporaryDir>

// For readers that live in a widget: one offscreen application per process,
// desktop services that stay silent, and settings in a temporary folder so
// that a run never touches the user's own.
inline void EnsureFuzzApplication() {
  static const bool ready = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    static int argc = 1;
    static char name[] = "talvero-fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
    // Qt's notes about offscreen windows would fill the log on every input.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static SilentDesktop desktop;
    CDesktopServices::Install(&desktop);
    return true;
  }();
  (void)ready;
}
