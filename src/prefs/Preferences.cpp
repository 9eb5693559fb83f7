#include "Preferences.h"

#include "SettingsStore.h"

#include <mutex>

namespace {

struct PreferenceCache {
  std::mutex lock;
  QString strEventSound[kEventCount];
  bool bSpellCheck = false;
  bool bAlwaysOnTop = false;
  bool bLoaded = false;
};

PreferenceCache& Cache() {
  static PreferenceCache cache;
  return cache;
}

const QString kSpellCheckValue = QStringLiteral("SpellCheck");
const QString kTopValue = QStringLiteral("Top");

void LoadLocked(PreferenceCache& cache) {
  const CSettingsStore store;
  for (int i = 0; i < kEventCount; ++i)
    cache.strEventSound[i] = store.ReadText(CSettingsStore::kRootKey, QString::number(i)).value_or(QString());
  cache.bSpellCheck = store.ReadText(CSettingsStore::kRootKey, kSpellCheckValue) == QStringLiteral("1");
  cache.bAlwaysOnTop = store.ReadText(CSettingsStore::kRootKey, kTopValue) == QStringLiteral("1");
  cache.bLoaded = true;
}

std::unique_lock<std::mutex> LoadedCache() {
  PreferenceCache& cache = Cache();
  std::unique_lock<std::mutex> guard(cache.lock);
  if (!cache.bLoaded) LoadLocked(cache);
  return guard;
}

// Sets a flag and stores it; when the key cannot be opened only the cache changes.
void SetFlag(bool PreferenceCache::*flag, const QString& name, bool bOn) {
  {
    auto guard = LoadedCache();
    Cache().*flag = bOn;
  }
  CSettingsStore().WriteText(CSettingsStore::kRootKey, name, bOn ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace

void LoadPreferences() {
  PreferenceCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  LoadLocked(cache);
}

QString EventSoundSetting(int nEvent) {
  if (nEvent < 0 || nEvent >= kEventCount) return QString();
  auto guard = LoadedCache();
  return Cache().strEventSound[nEvent];
}

void SetEventSoundSettings(const QStringList& sounds) {
  auto guard = LoadedCache();
  for (int i = 0; i < kEventCount && i < sounds.size(); ++i) Cache().strEventSound[i] = sounds.at(i);
}

bool IsSpellCheckEnabled() {
  auto guard = LoadedCache();
  return Cache().bSpellCheck;
}

void SetSpellCheck(bool bOn) { SetFlag(&PreferenceCache::bSpellCheck, kSpellCheckValue, bOn); }

bool IsAlwaysOnTop() {
  auto guard = LoadedCache();
  return Cache().bAlwaysOnTop;
}

void SetAlwaysOnTop(bool bOn) { SetFlag(&PreferenceCache::bAlwaysOnTop, kTopValue, bOn); }
