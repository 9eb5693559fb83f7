#include "Preferences.h"

#include "SettingsStore.h"

namespace {

const QString kSpellCheckValue = QStringLiteral("SpellCheck");
const QString kTopValue = QStringLiteral("Top");
const QString kRepeatValue = QStringLiteral("RepeatRequestSound");
const QString kChatTabsValue = QStringLiteral("ChatTabs");
const QString kAwayValue = QStringLiteral("AwayMinutes");
const QString kArchiveOffValue = QStringLiteral("ArchiveOff");
const QString kArchiveDaysValue = QStringLiteral("ArchiveDays");

bool ReadFlag(const CSettingsStore& store, const QString& name) {
  return store.ReadText(CSettingsStore::kRootKey, name) == QStringLiteral("1");
}

// Whole minutes within the range; anything else (a hand-edited file) is off.
int ReadMinutes(const CSettingsStore& store, const QString& name) {
  bool ok = false;
  const int minutes = store.ReadText(CSettingsStore::kRootKey, name).value_or(QString()).toInt(&ok);
  return ok && minutes > 0 && minutes <= CPreferences::kMaxAwayMinutes ? minutes : 0;
}

int ValidArchiveDays(int days) {
  return days > 0 && days <= CPreferences::kMaxArchiveDays ? days : CPreferences::kDefaultArchiveDays;
}

int ReadArchiveDays(const CSettingsStore& store) {
  bool ok = false;
  const int days = store.ReadText(CSettingsStore::kRootKey, kArchiveDaysValue).value_or(QString()).toInt(&ok);
  return ValidArchiveDays(ok ? days : 0);
}

}  // namespace

CPreferences& CPreferences::Instance() {
  static CPreferences preferences;
  return preferences;
}

CPreferences::CPreferences() : m_eventSounds(kEventCount) { Load(); }

void CPreferences::Load() {
  const CSettingsStore store;
  QStringList sounds;
  for (int i = 0; i < kEventCount; ++i)
    sounds.append(store.ReadText(CSettingsStore::kRootKey, QString::number(i)).value_or(QString()));
  const bool spellCheck = ReadFlag(store, kSpellCheckValue);
  const bool alwaysOnTop = ReadFlag(store, kTopValue);
  const bool repeat = ReadFlag(store, kRepeatValue);
  const int away = ReadMinutes(store, kAwayValue);
  const bool archiveOn = !ReadFlag(store, kArchiveOffValue);
  const int archiveDays = ReadArchiveDays(store);
  const bool chatTabs = ReadFlag(store, kChatTabsValue);

  const bool soundsChanged = sounds != m_eventSounds;
  const bool spellChanged = spellCheck != m_bSpellCheck;
  const bool topChanged = alwaysOnTop != m_bAlwaysOnTop;
  const bool repeatChanged = repeat != m_bRepeatRequestSound;
  const bool awayChanged = away != m_nAwayMinutes;
  const bool archiveOnChanged = archiveOn != m_bArchiveOn;
  const bool archiveDaysChanged = archiveDays != m_nArchiveDays;
  const bool chatTabsChanged = chatTabs != m_bChatTabs;
  m_eventSounds = sounds;
  m_bSpellCheck = spellCheck;
  m_bAlwaysOnTop = alwaysOnTop;
  m_bRepeatRequestSound = repeat;
  m_nAwayMinutes = away;
  m_bArchiveOn = archiveOn;
  m_nArchiveDays = archiveDays;
  m_bChatTabs = chatTabs;
  if (soundsChanged) emit EventSoundsChanged();
  if (spellChanged) emit SpellCheckChanged(m_bSpellCheck);
  if (topChanged) emit AlwaysOnTopChanged(m_bAlwaysOnTop);
  if (repeatChanged) emit RepeatRequestSoundChanged(m_bRepeatRequestSound);
  if (awayChanged) emit AwayMinutesChanged(m_nAwayMinutes);
  if (archiveOnChanged) emit ArchiveOnChanged(m_bArchiveOn);
  if (archiveDaysChanged) emit ArchiveDaysChanged(m_nArchiveDays);
  if (chatTabsChanged) emit ChatTabsChanged(m_bChatTabs);
}

QString CPreferences::EventSound(int nEvent) const {
  return nEvent >= 0 && nEvent < kEventCount ? m_eventSounds.at(nEvent) : QString();
}

void CPreferences::SetEventSounds(const QStringList& sounds) {
  bool changed = false;
  for (int i = 0; i < kEventCount && i < sounds.size(); ++i) {
    changed = changed || m_eventSounds[i] != sounds.at(i);
    m_eventSounds[i] = sounds.at(i);
  }
  if (changed) emit EventSoundsChanged();
}

bool CPreferences::StoreEventSounds(const QStringList& sounds) {
  CSettingsStore store;
  if (!store.KeyExists(CSettingsStore::kRootKey)) return false;
  for (int i = 0; i < kEventCount && i < sounds.size(); ++i)
    store.WriteText(CSettingsStore::kRootKey, QString::number(i), sounds.at(i));
  SetEventSounds(sounds);
  return true;
}

void CPreferences::SetFlag(bool& flag, const QString& valueName, bool bOn, void (CPreferences::*changed)(bool)) {
  CSettingsStore().WriteText(CSettingsStore::kRootKey, valueName, bOn ? QStringLiteral("1") : QStringLiteral("0"));
  if (flag == bOn) return;
  flag = bOn;
  emit(this->*changed)(bOn);
}

void CPreferences::SetSpellCheck(bool bOn) { SetFlag(m_bSpellCheck, kSpellCheckValue, bOn, &CPreferences::SpellCheckChanged); }

void CPreferences::SetAlwaysOnTop(bool bOn) { SetFlag(m_bAlwaysOnTop, kTopValue, bOn, &CPreferences::AlwaysOnTopChanged); }

void CPreferences::SetRepeatRequestSound(bool bOn) {
  SetFlag(m_bRepeatRequestSound, kRepeatValue, bOn, &CPreferences::RepeatRequestSoundChanged);
}

void CPreferences::SetChatTabs(bool bOn) { SetFlag(m_bChatTabs, kChatTabsValue, bOn, &CPreferences::ChatTabsChanged); }

void CPreferences::SetAwayMinutes(int minutes) {
  minutes = minutes > 0 && minutes <= kMaxAwayMinutes ? minutes : 0;
  CSettingsStore().WriteText(CSettingsStore::kRootKey, kAwayValue, QString::number(minutes));
  if (minutes == m_nAwayMinutes) return;
  m_nAwayMinutes = minutes;
  emit AwayMinutesChanged(minutes);
}

void CPreferences::SetArchiveOn(bool bOn) {
  CSettingsStore().WriteText(CSettingsStore::kRootKey, kArchiveOffValue, bOn ? QStringLiteral("0") : QStringLiteral("1"));
  if (bOn == m_bArchiveOn) return;
  m_bArchiveOn = bOn;
  emit ArchiveOnChanged(bOn);
}

void CPreferences::SetArchiveDays(int days) {
  days = ValidArchiveDays(days);
  CSettingsStore().WriteText(CSettingsStore::kRootKey, kArchiveDaysValue, QString::number(days));
  if (days == m_nArchiveDays) return;
  m_nArchiveDays = days;
  emit ArchiveDaysChanged(days);
}

void LoadPreferences() { CPreferences::Instance().Load(); }
QString EventSoundSetting(int nEvent) { return CPreferences::Instance().EventSound(nEvent); }
bool IsSpellCheckEnabled() { return CPreferences::Instance().SpellCheck(); }
bool IsAlwaysOnTop() { return CPreferences::Instance().AlwaysOnTop(); }
void SetAlwaysOnTop(bool bOn) { CPreferences::Instance().SetAlwaysOnTop(bOn); }
