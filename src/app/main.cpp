#include "ChatApp.h"
#include "ChatManager.h"
#include "QtDesktopServices.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
  CChatApp::PrepareProcess();
  QApplication qtApp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Talvero"));
  QApplication::setApplicationVersion(QStringLiteral("2.5"));

  const CChatApp::Options options = CChatApp::ParseCommandLine(QApplication::arguments());
  if (!options.error.isEmpty()) {
    std::fprintf(stderr, "talvero: %s\n%s", qPrintable(options.error), qPrintable(CChatApp::UsageText()));
    return 2;
  }
  if (options.showHelp) {
    std::fputs(qPrintable(CChatApp::UsageText()), stdout);
    return 0;
  }
  if (options.showVersion) {
    std::puts("Talvero 2.5");
    return 0;
  }

  CQtDesktopServices desktop;
  CDesktopServices::Install(&desktop);
  {
    CChatManager engine;
    CChatApp app(engine);
    app.InitInstance(options);
  }
  CDesktopServices::Install(nullptr);
  return 0;
}
