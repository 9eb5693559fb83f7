#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The in-memory form of the settings file and its text format:
//
//   # comment
//   [Software\TVR\Client\Login]
//   Secure=sz:1
//   Data=bin:3fa0...
//
// Key paths, names and text are UTF-8; '%', control characters and the
// characters that would break a line's structure are written as %XX.
// Lines that cannot be read are skipped, so a damaged file loses only them.
struct SettingsValue {
  QString name;
  bool binary = false;
  QString text;
  QByteArray bytes;
};

struct SettingsKey {
  QString path;
  QList<SettingsValue> values;
};

class CSettingsFile {
 public:
  static QString NormaliseKey(const QString& key);

  void Parse(const QByteArray& content);
  QByteArray Serialise() const;

  SettingsKey* FindKey(const QString& path);
  const SettingsKey* FindKey(const QString& path) const;
  SettingsKey& AddKey(const QString& path);  // with its missing parents
  bool RemoveKey(const QString& path);       // with its sub-keys

  static SettingsValue* FindValue(SettingsKey& key, const QString& name);
  static const SettingsValue* FindValue(const SettingsKey& key, const QString& name);

 private:
  QList<SettingsKey> m_keys;
};
