#include "SecretStore.h"

#include <atomic>

namespace {

// What a desktop without a secret service answers.
class CNoSecretStore : public CSecretStore {
 public:
  ReadResult Read(const QString&) override { return {}; }
  Status Write(const QString&, const QString&) override { return Status::Unavailable; }
  Status Remove(const QString&) override { return Status::Unavailable; }
};

CNoSecretStore g_none;
std::atomic<CSecretStore*> g_pStore{nullptr};

}  // namespace

CSecretStore& CSecretStore::Get() {
  CSecretStore* store = g_pStore.load();
  return store != nullptr ? *store : g_none;
}

void CSecretStore::Install(CSecretStore* store) { g_pStore.store(store); }
