#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The program's settings: keys with paths such as "Software\TVR\Client\Login"
// holding named text and binary values, the way the console has always kept
// them. Everything lives in one file, $XDG_CONFIG_HOME/TVR/Client.conf
// (~/.config when the variable is unset), mode 0600.
//
// Every call reads the file afresh and every change rewrites it atomically
// (a temporary file renamed over the old one, under a lock), so two running
// programs see each other's changes and a crash never leaves half a file.
// Key paths and value names compare without regard to letter case; a
// trailing backslash is ignored.
class CSettingsStore {
 public:
  static const QString kRootKey;   // "Software\TVR\Client"
  static const QString kLoginKey;  // "Software\TVR\Client\Login"

  CSettingsStore();  // the user's settings file
  explicit CSettingsStore(QString filePath);

  static QString DefaultPath();
  const QString& FilePath() const { return m_strPath; }

  bool KeyExists(const QString& key) const;
  // Creates the key and its missing parents; true when the key exists after.
  bool CreateKey(const QString& key);
  // Deletes the key with all its values and sub-keys; false when it was absent.
  bool DeleteKey(const QString& key);

  // An absent key, an absent value or a value of the other kind reads as absent.
  std::optional<QString> ReadText(const QString& key, const QString& name) const;
  std::optional<QByteArray> ReadBinary(const QString& key, const QString& name) const;

  // Writes into an existing key only: when the key is missing nothing is
  // written and the result is false.
  bool WriteText(const QString& key, const QString& name, const QString& value);
  bool WriteBinary(const QString& key, const QString& name, const QByteArray& value);
  bool DeleteValue(const QString& key, const QString& name);

  // Takes the file (and its folder) back to owner-only access, for a file
  // that was left readable by others: it may hold the remembered login.
  // False when the file exists and its mode could not be set.
  bool RestrictAccess() const;

 private:
  QString m_strPath;
};
