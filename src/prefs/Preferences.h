#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

constexpr int kEventCount = 7;

// The operator's preferences: the sound of each alert event, spell checking,
// always-on-top, the repeated chat request sound and the chat archive. One
// object for the process, filled from the settings store on first use (at
// start-up, on the user-interface thread); windows listen to the change
// signal of each option they show instead of reading the store again after
// a dialog.
class CPreferences : public QObject {
  Q_OBJECT

 public:
  static CPreferences& Instance();

  // Reads the store again; a signal goes out for each option that changed.
  void Load();

  // "Default" (or empty), "None" or the path of a WAV file, for event 0 to 6.
  QString EventSound(int nEvent) const;
  const QStringList& EventSounds() const { return m_eventSounds; }
  // Updates the sounds here only, without storing them.
  void SetEventSounds(const QStringList& sounds);
  // Stores the seven sounds as values "0" to "6" and takes them here; when
  // the key cannot be opened nothing changes and the result is false.
  bool StoreEventSounds(const QStringList& sounds);

  bool SpellCheck() const { return m_bSpellCheck; }
  bool AlwaysOnTop() const { return m_bAlwaysOnTop; }
  // Stored as "1" or "0"; when the key cannot be opened only this object changes.
  void SetSpellCheck(bool bOn);
  void SetAlwaysOnTop(bool bOn);
  // The chat request sound comes again every 30 s until the chat is taken.
  bool RepeatRequestSound() const { return m_bRepeatRequestSound; }
  void SetRepeatRequestSound(bool bOn);
  // After this many minutes without keyboard or mouse on the desktop the
  // console goes Offline; 0 (the default) never. Stored as "AwayMinutes".
  int AwayMinutes() const { return m_nAwayMinutes; }
  void SetAwayMinutes(int minutes);
  static constexpr int kMaxAwayMinutes = 240;
  // The chats are kept in the local archive (the default). Stored as
  // "ArchiveOff", "1" when the operator turned it off, so that a missing
  // value keeps the rule that only "1" is true.
  bool ArchiveOn() const { return m_bArchiveOn; }
  void SetArchiveOn(bool bOn);
  // Archived chats older than this many days go. Stored as "ArchiveDays";
  // a missing or unusable value is the default.
  int ArchiveDays() const { return m_nArchiveDays; }
  void SetArchiveDays(int days);
  // All chats in one window with a tab for each, rather than a window for
  // each (the default). Stored as "ChatTabs", "1" or "0".
  bool ChatTabs() const { return m_bChatTabs; }
  void SetChatTabs(bool bOn);
  static constexpr int kDefaultArchiveDays = 90;
  static constexpr int kMaxArchiveDays = 3650;

 signals:
  void EventSoundsChanged();
  void SpellCheckChanged(bool bOn);
  void AlwaysOnTopChanged(bool bOn);
  void RepeatRequestSoundChanged(bool bOn);
  void AwayMinutesChanged(int minutes);
  void ArchiveOnChanged(bool bOn);
  void ArchiveDaysChanged(int days);
  void ChatTabsChanged(bool bOn);

 private:
  CPreferences();
  void SetFlag(bool& flag, const QString& valueName, bool bOn, void (CPreferences::*changed)(bool));

  QStringList m_eventSounds;
  bool m_bSpellCheck = false;
  bool m_bAlwaysOnTop = false;
  bool m_bRepeatRequestSound = false;
  int m_nAwayMinutes = 0;
  bool m_bArchiveOn = true;
  int m_nArchiveDays = kDefaultArchiveDays;
  bool m_bChatTabs = false;
};

// The operations the rest of the program has always called, over the one object.
void LoadPreferences();
QString EventSoundSetting(int nEvent);
bool IsSpellCheckEnabled();
bool IsAlwaysOnTop();
void SetAlwaysOnTop(bool bOn);
