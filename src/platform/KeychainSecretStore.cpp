#include "KeychainSecretStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

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

}  // namespace

CKeychainSecretStore::CKeychainSecretStore(QString serviceName, int waitMs)
    : m_strService(std::move(serviceName)), m_nWaitMs(waitMs) {}

CSecretStore::ReadResult CKeychainSecretStore::Run(QKeychain::Job* job) {
  ReadResult result{Status::Failed, QString()};
  bool bFinished = false;
  QEventLoop loop;
  // The loop is the connection's context: a job that ends after the wait
  // has given up finds nobody to tell.
  QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
    bFinished = true;
    result.status = StatusOf(done->error());
    if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done); read && result.status == Status::Ok)
      result.secret = read->textData();
    loop.quit();
  });
  job->setAutoDelete(true);
  job->start();
  if (!bFinished) {
    QTimer::singleShot(m_nWaitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  return result;
}

CSecretStore::ReadResult CKeychainSecretStore::Read(const QString& key) {
  auto* job = new QKeychain::ReadPasswordJob(m_strService);
  job->setInsecureFallback(false);
  job->setKey(key);
  return Run(job);
}

CSecretStore::Status CKeychainSecretStore::Write(const QString& key, const QString& secret) {
  auto* job = new QKeychain::WritePasswordJob(m_strService);
  job->setInsecureFallback(false);
  job->setKey(key);
  job->setTextData(secret);
  return Run(job).status;
}

CSecretStore::Status CKeychainSecretStore::Remove(const QString& key) {
  auto* job = new QKeychain::DeletePasswordJob(m_strService);
  job->setInsecureFallback(false);
  job->setKey(key);
  return Run(job).status;
}
