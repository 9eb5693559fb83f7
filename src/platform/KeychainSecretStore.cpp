#include "KeychainSecretStore.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

CSecretStore::Status StatusOf(QKeychain::Error error) {
  switch (error) {
    case QKeychain::NoError: return CSecretStore::Status::Ok;
    case QKeychain::EntryNotFound: return CSecretStore::Status::NotFound;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented: return CSecretStore::Status::Unavailable;
    default: return CSecretStore::Status::Failed;
  }
}

CSecretStore::ReadResult ResultOf(QKeychain::Job* job) {
  CSecretStore::ReadResult result{StatusOf(job->error()), QString()};
  if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(job); read && result.status == CSecretStore::Status::Ok)
    result.secret = read->textData();
  return result;
}

}  // namespace

CKeychainSecretStore::CKeychainSecretStore(QString serviceName, int timeoutMs)
    : m_strService(std::move(serviceName)), m_nTimeoutMs(timeoutMs) {}

void CKeychainSecretStore::Run(QKeychain::Job* job, const QString& key, ReadDone done) {
  // Without a session bus there is no secret service to ask.
  if (!QDBusConnection::sessionBus().isConnected()) {
    delete job;
    done({Status::Unavailable, QString()});
    return;
  }
  if (m_nOverdueJobs > 0) {
    delete job;
    done({Status::Failed, QString()});
    return;
  }
  // The first of the job's end and the time-out takes the completion; the
  // other finds it gone.
  auto pending = std::make_shared<ReadDone>(std::move(done));
  auto overdue = std::make_shared<bool>(false);
  QObject::connect(job, &QKeychain::Job::finished, &m_context, [this, pending, overdue](QKeychain::Job* finished) {
    if (*overdue) --m_nOverdueJobs;
    if (ReadDone answer = std::exchange(*pending, nullptr)) answer(ResultOf(finished));
  });
  QTimer::singleShot(m_nTimeoutMs, &m_context, [this, pending, overdue] {
    ReadDone answer = std::exchange(*pending, nullptr);
    if (!answer) return;
    *overdue = true;
    ++m_nOverdueJobs;
    answer({Status::Failed, QString()});
  });
  job->setInsecureFallback(false);
  job->setKey(key);
  job->setAutoDelete(true);
  job->start();
}

void CKeychainSecretStore::Read(const QString& key, ReadDone done) {
  Run(new QKeychain::ReadPasswordJob(m_strService), key, std::move(done));
}

void CKeychainSecretStore::Write(const QString& key, const QString& secret, Done done) {
  auto* job = new QKeychain::WritePasswordJob(m_strService);
  job->setTextData(secret);
  Run(job, key, [done = std::move(done)](const ReadResult& result) { done(result.status); });
}

void CKeychainSecretStore::Remove(const QString& key, Done done) {
  Run(new QKeychain::DeletePasswordJob(m_strService), key,
      [done = std::move(done)](const ReadResult& result) { done(result.status); });
}
