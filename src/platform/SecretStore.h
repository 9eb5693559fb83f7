#pragma once

#include <QString>

#include <functional>

// The desktop's store of secrets (the freedesktop secret service, a
// keyring): passwords kept outside the settings file. Like the desktop
// services it is a seam: the program installs the QtKeychain store at
// start-up, tests a recording one. Until one is installed there is no
// secret service, and callers keep their secrets as they did without one.
//
// A keyring may take seconds to answer, or never answer (a locked one
// waiting for an unlock prompt nobody sees), so no call waits: each returns
// at once and hands its answer to a completion on the user-interface thread
// later, or before it returns when the answer is known at once. Every call
// is answered exactly once, within the store's time-out (a service that
// does not answer in time counts as Failed), and never after the store is
// gone. Callers guard their own objects, which may go first. Call on the
// user-interface thread only.
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
  using ReadDone = std::function<void(const ReadResult&)>;
  using Done = std::function<void(Status)>;

  virtual ~CSecretStore() = default;

  virtual void Read(const QString& key, ReadDone done) = 0;
  virtual void Write(const QString& key, const QString& secret, Done done) = 0;
  // Removing a key that holds nothing is Ok or NotFound, as the store says.
  virtual void Remove(const QString& key, Done done) = 0;

  // The store in use; Install() replaces it (nullptr: no secret service).
  static CSecretStore& Get();
  static void Install(CSecretStore* store);
};
