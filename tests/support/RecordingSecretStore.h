#pragma once

#include "SecretStore.h"

#include <QMap>
#include <QString>

// The secret service of a test: a map of keys to secrets that answers at
// once and can be told that the desktop has no secret service or that some
// kind of call fails. Installs itself for its lifetime.
class CRecordingSecretStore : public CSecretStore {
 public:
  CRecordingSecretStore();
  ~CRecordingSecretStore() override;

  ReadResult Read(const QString& key) override;
  Status Write(const QString& key, const QString& secret) override;
  Status Remove(const QString& key) override;

  QMap<QString, QString> secrets;
  bool available = true;
  bool failReads = false;
  bool failWrites = false;
  bool failRemoves = false;
};
