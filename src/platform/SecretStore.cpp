#include "SecretStore.h"

#include <atomic>

namespace {

// What a desktop without a secret service answers.
class CNoSecretStore : public CSecretStore {
 public:
  void Read(const QString&, ReadDone done) override { done({Status::Unavailable, QString()}); }
  void Write(const QString&, const QString&, Done done) override { done(Status::Unavailable); }
  void Remove(const QString&, Done done) override { done(Status::Unavailable); }
};

CNoSecretStore g_none;
std::atomic<CSecretStore*> g_pStore{nullptr};

}  // namespace

CSecretStore& CSecretStore::Get() {
  CSecretStore* store = g_pStore.load();
  return store != nullptr ? *store : g_none;
}

void CSecretStore::Install(CSecretStore* store) { g_pStore.store(store); }
