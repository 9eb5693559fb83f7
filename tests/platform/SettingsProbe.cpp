// A second program for the settings-store test: reads or writes one text
// value of the user's settings and reports it on standard output.
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  CSettingsStore store;
  if (args.size() == 4 && args[1] == "read") {
    const auto value = store.ReadText(args[2], args[3]);
    if (!value) return 1;
    std::puts(qPrintable(*value));
    return 0;
  }
  if (args.size() == 5 && args[1] == "write") return store.WriteText(args[2], args[3], args[4]) ? 0 : 1;
  std::fputs("usage: settings-probe read KEY NAME | write KEY NAME VALUE\n", stderr);
  return 2;
}
