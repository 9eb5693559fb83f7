#pragma once

#include "SecretStore.h"

#include <QObject>

namespace QKeychain {
class Job;
}

// The secret store on QtKeychain: the freedesktop secret service (GNOME
// Keyring, KeePassXC, KWallet's bridge) or KWallet. Each call runs one
// QtKeychain job and answers when the job ends or the time-out passes,
// whichever comes first; a job that ends later is left to finish and
// delete itself, and its answer is dropped. Nothing waits meanwhile.
//
// QtKeychain runs its jobs one after another, so a job the service never
// answers holds back every later one. While a job of this store is overdue
// its calls therefore fail at once instead of waiting out their own
// time-out behind it.
class CKeychainSecretStore : public CSecretStore {
 public:
  // Time to type the keyring's password into the desktop's unlock prompt;
  // nobody waits for it, and an unlocked keyring answers in milliseconds.
  static constexpr int kDefaultTimeoutMs = 30000;

  explicit CKeychainSecretStore(QString serviceName, int timeoutMs = kDefaultTimeoutMs);

  void Read(const QString& key, ReadDone done) override;
  void Write(const QString& key, const QString& secret, Done done) override;
  void Remove(const QString& key, Done done) override;

 private:
  // Starts the job for the key and answers once: at once without a session
  // bus or while a job is overdue, else at its end or at the time-out.
  void Run(QKeychain::Job* job, const QString& key, ReadDone done);

  QString m_strService;
  int m_nTimeoutMs;
  int m_nOverdueJobs = 0;
  // The context of every job's and timer's connection: with the store
  // gone, nothing of it is called.
  QObject m_context;
};
