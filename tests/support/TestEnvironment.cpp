#include "TestEnvironment.h"

CTestSettingsFolder::CTestSettingsFolder()
    : m_previous(qgetenv("XDG_CONFIG_HOME")), m_bHadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
  qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

CTestSettingsFolder::~CTestSettingsFolder() {
  if (m_bHadPrevious)
    qputenv("XDG_CONFIG_HOME", m_previous);
  else
    qunsetenv("XDG_CONFIG_HOME");
}
