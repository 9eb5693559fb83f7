#pragma once

#include <QString>
#include <QTemporaryDir>

// Points the settings store at a fresh temporary folder for the lifetime of
// the object, so that a test never reads or writes the user's settings.
class CTestSettingsFolder {
 public:
  CTestSettingsFolder();
  ~CTestSettingsFolder();

  QString Path() const { return m_dir.path(); }
  QString SettingsFile() const { return m_dir.path() + QStringLiteral("/TVR/Client.conf"); }

 private:
  QTemporaryDir m_dir;
  QByteArray m_previous;
  bool m_bHadPrevious = false;
};
