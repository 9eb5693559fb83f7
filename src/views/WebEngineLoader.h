#pragma once

#include <QString>
#include <QStringList>

class CWebPageFactory;

// Finds and loads the server-page module the first time a server page is
// shown, and keeps it for the rest of the process (the web engine cannot be
// unloaded once it ran). The module file is looked for beside the program,
// then in the folder named by TALVERO_MODULE_DIR (the build tree's tests and
// benchmarks), then in the module folder of an installation, as seen from
// the program's folder, and last where it was installed.
class CWebEngineLoader {
 public:
  static constexpr const char* kModuleName = "talvero_webpage";

  // The loaded module, loading it now if need be; nullptr when it cannot be
  // loaded, with the reason in error.
  static CWebPageFactory* Factory(QString* error = nullptr);
  // Whether the module is loaded (the engine may not have started yet).
  static bool IsLoaded();
  // The folders searched, in order.
  static QStringList SearchFolders();
};
