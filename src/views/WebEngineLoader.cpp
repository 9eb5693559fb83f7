#include "WebEngineLoader.h"

#include "WebPageFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace {

struct LoadState {
  CWebPageFactory* factory = nullptr;
  QString error;
  bool tried = false;
};

LoadState& State() {
  static LoadState state;
  return state;
}

QString ModuleFile(const QString& folder) {
  return QDir(folder).filePath(QStringLiteral("lib%1.so").arg(QLatin1String(CWebEngineLoader::kModuleName)));
}

}  // namespace

QStringList CWebEngineLoader::SearchFolders() {
  const QString programDir = QCoreApplication::applicationDirPath();
  QStringList folders{programDir};
  const QString fromEnvironment = qEnvironmentVariable("TALVERO_MODULE_DIR");
  if (!fromEnvironment.isEmpty()) folders.append(fromEnvironment);
  folders.append(QDir::cleanPath(programDir + QStringLiteral("/" TALVERO_MODULE_FROM_BIN)));
  folders.append(QStringLiteral(TALVERO_MODULE_INSTALL_DIR));
  folders.removeDuplicates();
  return folders;
}

bool CWebEngineLoader::IsLoaded() { return State().factory != nullptr; }

CWebPageFactory* CWebEngineLoader::Factory(QString* error) {
  LoadState& state = State();
  if (!state.tried) {
    state.tried = true;
    // The engine shares OpenGL contexts with the windows; the attribute only
    // counts when set before the application object exists (the program
    // sets it first thing in main), and a late start without it would fail
    // or crash inside the engine.
    if (!QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts)) {
      state.error = QStringLiteral("the program did not prepare for showing web pages (shared OpenGL contexts)");
    } else {
      QString file;
      for (const QString& folder : SearchFolders()) {
        if (QFileInfo::exists(ModuleFile(folder))) {
          file = ModuleFile(folder);
          break;
        }
      }
      if (file.isEmpty()) {
        state.error = QStringLiteral("the module %1 is not installed (looked in %2)")
                          .arg(QLatin1String(kModuleName), SearchFolders().join(QStringLiteral(", ")));
      } else {
        QPluginLoader loader(file);
        QObject* instance = loader.instance();
        state.factory = instance ? qobject_cast<CWebPageFactory*>(instance) : nullptr;
        if (!state.factory)
          state.error = instance ? QStringLiteral("%1 is not a server-page module").arg(file) : loader.errorString();
      }
    }
  }
  if (error) *error = state.error;
  return state.factory;
}
