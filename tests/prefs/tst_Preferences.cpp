// The preference cache and the sounds of the alert events.
#include "EventSound.h"
#include "Preferences.h"
#include "RecordingDesktopServices.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QTest>

class TestPreferences : public QObject {
  Q_OBJECT

 private slots:
  void withoutTheKeyEverythingIsDefault() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    LoadPreferences();
    QVERIFY(!IsSpellCheckEnabled());
    QVERIFY(!IsAlwaysOnTop());
    for (int i = 0; i < kEventCount; ++i) PlayEventSound(i);
    QCOMPARE(desktop.sounds,
             QList<QUrl>({QUrl("qrc:/sounds/140.wav"), QUrl("qrc:/sounds/143.wav"), QUrl("qrc:/sounds/140.wav"),
                          QUrl("qrc:/sounds/154.wav"), QUrl("qrc:/sounds/168.wav"), QUrl("qrc:/sounds/141.wav"),
                          QUrl("qrc:/sounds/301.wav")}));
  }

  void builtInSoundsExist() {
    for (int i = 0; i < kEventCount; ++i) {
      const QString path = ":" + BuiltInSound(DefaultWave(i)).path();
      QVERIFY2(QFile::exists(path), qPrintable(path));
    }
    QCOMPARE(EventName(5), QString("Chat Request (When busy in Chatting)"));
    QCOMPARE(EventName(7), QString());
  }

  void storedSoundsChooseWhatPlays() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    store.WriteText(CSettingsStore::kRootKey, "0", "None");
    store.WriteText(CSettingsStore::kRootKey, "1", "/sounds/ring.wav");
    store.WriteText(CSettingsStore::kRootKey, "2", "");
    store.WriteText(CSettingsStore::kRootKey, "3", "none");  // not "None": a file of that name
    store.WriteBinary(CSettingsStore::kRootKey, "4", "None");  // not text: reads as empty
    LoadPreferences();
    for (int i = 0; i < 5; ++i) PlayEventSound(i);
    PlayEventSound(-1);
    PlayEventSound(7);
    QCOMPARE(desktop.sounds, QList<QUrl>({QUrl::fromLocalFile("/sounds/ring.wav"), QUrl("qrc:/sounds/140.wav"),
                                          QUrl::fromLocalFile("none"), QUrl("qrc:/sounds/168.wav")}));
  }

  void onlyExactlyOneIsOn() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    store.WriteText(CSettingsStore::kRootKey, "SpellCheck", "1");
    store.WriteText(CSettingsStore::kRootKey, "Top", "1 ");
    LoadPreferences();
    QVERIFY(IsSpellCheckEnabled());
    QVERIFY(!IsAlwaysOnTop());
  }

  void settersStoreOnlyIntoAnExistingKey() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    LoadPreferences();
    SetAlwaysOnTop(true);
    QVERIFY(IsAlwaysOnTop());  // the cache changes...
    QVERIFY(!store.KeyExists(CSettingsStore::kRootKey));  // ...the store is not created
    store.CreateKey(CSettingsStore::kRootKey);
    SetAlwaysOnTop(false);
    SetSpellCheck(true);
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "Top").value(), QString("0"));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "SpellCheck").value(), QString("1"));
    LoadPreferences();
    QVERIFY(IsSpellCheckEnabled());
    QVERIFY(!IsAlwaysOnTop());
  }

  void changesAreAnnouncedOnce() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    LoadPreferences();
    CPreferences& prefs = CPreferences::Instance();
    QSignalSpy top(&prefs, &CPreferences::AlwaysOnTopChanged);
    QSignalSpy spell(&prefs, &CPreferences::SpellCheckChanged);
    QSignalSpy sounds(&prefs, &CPreferences::EventSoundsChanged);
    SetAlwaysOnTop(true);
    SetAlwaysOnTop(true);  // no change, no signal
    QCOMPARE(top.size(), 1);
    QCOMPARE(top.first().first().toBool(), true);
    // Another program (or the dialog) changed the store: a reload tells.
    store.WriteText(CSettingsStore::kRootKey, "SpellCheck", "1");
    store.WriteText(CSettingsStore::kRootKey, "2", "None");
    LoadPreferences();
    QCOMPARE(spell.size(), 1);
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(top.size(), 1);
    SetEventSoundSettings(prefs.EventSounds());
    QCOMPARE(sounds.size(), 1);
  }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_Preferences.moc"
