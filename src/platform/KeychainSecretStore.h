#pragma once

#include "SecretStore.h"

namespace QKeychain {
class Job;
}

// The secret store on QtKeychain: the freedesktop secret service (GNOME
// Keyring, KeePassXC, KWallet's bridge) or KWallet. Its jobs are
// asynchronous; each call runs one and waits for it in a local event loop
// that takes no user input, for at most the given time, so a service that
// hangs (a locked keyring waiting for a prompt nobody answers) cannot hold
// the program. The default leaves time to type the keyring's password into
// the desktop's unlock prompt; an unlocked keyring answers in milliseconds.
class CKeychainSecretStore : public CSecretStore {
 public:
  static constexpr int kDefaultWaitMs = 15000;

  explicit CKeychainSecretStore(QString serviceName, int waitMs = kDefaultWaitMs);

  ReadResult Read(const QString& key) override;
  Status Write(const QString& key, const QString& secret) override;
  Status Remove(const QString& key) override;

 private:
  // Starts the job and waits for its end; the job deletes itself, also
  // when it ends after the wait has given up.
  ReadResult Run(QKeychain::Job* job);

  QString m_strService;
  int m_nWaitMs;
};
