#include "RecordingSecretStore.h"

#include <utility>

CRecordingSecretStore::CRecordingSecretStore() { CSecretStore::Install(this); }

CRecordingSecretStore::~CRecordingSecretStore() { CSecretStore::Install(nullptr); }

void CRecordingSecretStore::Answer(std::function<void()> answer) {
  if (holdAnswers)
    m_held.append(std::move(answer));
  else
    answer();
}

void CRecordingSecretStore::ReleaseAnswers() {
  // An answer may lead to new calls, which wait for the next release.
  const QList<std::function<void()>> held = std::exchange(m_held, {});
  for (const auto& answer : held) answer();
}

void CRecordingSecretStore::Read(const QString& key, ReadDone done) {
  Answer([this, key, done = std::move(done)] {
    if (!available) return done({Status::Unavailable, QString()});
    if (failReads) return done({Status::Failed, QString()});
    if (!secrets.contains(key)) return done({Status::NotFound, QString()});
    done({Status::Ok, secrets.value(key)});
  });
}

void CRecordingSecretStore::Write(const QString& key, const QString& secret, Done done) {
  Answer([this, key, secret, done = std::move(done)] {
    if (!available) return done(Status::Unavailable);
    if (failWrites) return done(Status::Failed);
    secrets.insert(key, secret);
    done(Status::Ok);
  });
}

void CRecordingSecretStore::Remove(const QString& key, Done done) {
  Answer([this, key, done = std::move(done)] {
    if (!available) return done(Status::Unavailable);
    if (failRemoves) return done(Status::Failed);
    done(secrets.remove(key) > 0 ? Status::Ok : Status::NotFound);
  });
}
