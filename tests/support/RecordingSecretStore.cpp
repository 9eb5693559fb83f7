#include "RecordingSecretStore.h"

CRecordingSecretStore::CRecordingSecretStore() { CSecretStore::Install(this); }

CRecordingSecretStore::~CRecordingSecretStore() { CSecretStore::Install(nullptr); }

CSecretStore::ReadResult CRecordingSecretStore::Read(const QString& key) {
  if (!available) return {Status::Unavailable, QString()};
  if (failReads) return {Status::Failed, QString()};
  if (!secrets.contains(key)) return {Status::NotFound, QString()};
  return {Status::Ok, secrets.value(key)};
}

CSecretStore::Status CRecordingSecretStore::Write(const QString& key, const QString& secret) {
  if (!available) return Status::Unavailable;
  if (failWrites) return Status::Failed;
  secrets.insert(key, secret);
  return Status::Ok;
}

CSecretStore::Status CRecordingSecretStore::Remove(const QString& key) {
  if (!available) return Status::Unavailable;
  if (failRemoves) return Status::Failed;
  return secrets.remove(key) > 0 ? Status::Ok : Status::NotFound;
}
