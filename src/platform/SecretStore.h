#pragma once

#include <QString>

// The desktop's store of secrets (the freedesktop secret service, a
// keyring): passwords kept outside the settings file. Like the desktop
// services it is a seam: the program installs the QtKeychain store at
// start-up, tests a recording one. Until one is installed there is no
// secret service, and callers keep their secrets as they did without one.
//
// Every call returns within a bounded time; a store that does not answer
// in time counts as failed. Call on the user-interface thread only.
class CSecretStore {
 public:
  enum class Status {
    Ok,
    NotFound,     // the store works but holds nothing under the key
    Unavailable,  // the desktop has no secret service
    Failed,       // the service is there but refused, failed or did not answer in time
  };
  struct ReadResult {
    Status status = Status::Unavailable;
    QString secret;
  };

  virtual ~CSecretStore() = default;

  virtual ReadResult Read(const QString& key) = 0;
  virtual Status Write(const QString& key, const QString& secret) = 0;
  // Removing a key that holds nothing is Ok or NotFound, as the store says.
  virtual Status Remove(const QString& key) = 0;

  // The store in use; Install() replaces it (nullptr: no secret service).
  static CSecretStore& Get();
  static void Install(CSecretStore* store);
};
