// The preference cache, the sounds of the alert events and automatic start.
#include "AutoStart.h"
#include "EventSound.h"
#include "Preferences.h"
#include "RecordingDesktopServices.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "TestWaves.h"
#include "WaveFile.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <functional>

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
      QVERIFY2(IsPlayableWave(path), qPrintable(path));
    }
    QCOMPARE(EventName(5), QString("Chat Request (When busy in Chatting)"));
    QCOMPARE(EventName(7), QString());
  }

  // A file that would play nothing falls back to the event's built-in sound.
  void storedSoundsChooseWhatPlays() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    const QString ring = WriteFile(folder.Path() + "/ring.wav", WaveBytes());
    const QString text = WriteFile(folder.Path() + "/notes.wav", "just some text, not a sound");
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    store.WriteText(CSettingsStore::kRootKey, "0", "None");
    store.WriteText(CSettingsStore::kRootKey, "1", ring);
    store.WriteText(CSettingsStore::kRootKey, "2", "");
    store.WriteText(CSettingsStore::kRootKey, "3", "none");  // not "None": a file of that name, missing
    store.WriteBinary(CSettingsStore::kRootKey, "4", "None");  // not text: reads as empty
    store.WriteText(CSettingsStore::kRootKey, "5", text);
    store.WriteText(CSettingsStore::kRootKey, "6", folder.Path() + "/gone.wav");
    LoadPreferences();
    for (int i = 0; i < kEventCount; ++i) PlayEventSound(i);
    PlayEventSound(-1);
    PlayEventSound(7);
    QCOMPARE(desktop.sounds, QList<QUrl>({QUrl::fromLocalFile(ring), QUrl("qrc:/sounds/140.wav"),
                                          QUrl("qrc:/sounds/154.wav"), QUrl("qrc:/sounds/168.wav"),
                                          QUrl("qrc:/sounds/141.wav"), QUrl("qrc:/sounds/301.wav")}));
  }

  void playableWaves_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("playable");
    QTest::newRow("odd chunk before the format") << WaveBytes(1, true) << true;
    QTest::newRow("compressed samples") << WaveBytes(0x55) << false;
    QTest::newRow("cut in the header") << WaveBytes().left(20) << false;
    QTest::newRow("not wave") << WaveBytes().replace(8, 4, "AVI ") << false;
  }
  void playableWaves() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, playable);
    QTemporaryDir dir;
    QCOMPARE(IsPlayableWave(WriteFile(dir.path() + "/s.wav", bytes)), playable);
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
    CPreferences::Instance().SetSpellCheck(true);
    CPreferences::Instance().SetRepeatRequestSound(true);
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "Top").value(), QString("0"));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "SpellCheck").value(), QString("1"));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "RepeatRequestSound").value(), QString("1"));
    LoadPreferences();
    QVERIFY(IsSpellCheckEnabled());
    QVERIFY(!IsAlwaysOnTop());
    QVERIFY(CPreferences::Instance().RepeatRequestSound());
  }

  // Every setter tells its own signal once when the value changes, with
  // the new value, and nothing when it stays; no other signal goes out.
  void everySetterAnnouncesAChangeOnce_data() {
    QTest::addColumn<int>("option");
    QTest::newRow("spell check") << 0;
    QTest::newRow("always on top") << 1;
    QTest::newRow("repeated request sound") << 2;
    QTest::newRow("sounds, in memory") << 3;
    QTest::newRow("sounds, stored") << 4;
  }
  void everySetterAnnouncesAChangeOnce() {
    QFETCH(int, option);
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    LoadPreferences();
    CPreferences& prefs = CPreferences::Instance();
    QStringList otherSounds = prefs.EventSounds();
    otherSounds[3] = "None";
    const std::function<void(bool)> set[] = {
        [&](bool on) { prefs.SetSpellCheck(on); },
        [&](bool on) { prefs.SetAlwaysOnTop(on); },
        [&](bool on) { prefs.SetRepeatRequestSound(on); },
        [&](bool on) { prefs.SetEventSounds(on ? otherSounds : QStringList(kEventCount)); },
        [&](bool on) { QVERIFY(prefs.StoreEventSounds(on ? otherSounds : QStringList(kEventCount))); },
    };
    QList<QSignalSpy*> spies{new QSignalSpy(&prefs, &CPreferences::SpellCheckChanged),
                             new QSignalSpy(&prefs, &CPreferences::AlwaysOnTopChanged),
                             new QSignalSpy(&prefs, &CPreferences::RepeatRequestSoundChanged),
                             new QSignalSpy(&prefs, &CPreferences::EventSoundsChanged)};
    const auto cleanUp = qScopeGuard([&spies] { qDeleteAll(spies); });
    QSignalSpy& mine = *spies[std::min(option, 3)];
    set[option](true);
    set[option](true);  // the same again: no change, no signal
    QCOMPARE(mine.size(), 1);
    if (option < 3) QCOMPARE(mine.first().first().toBool(), true);
    set[option](false);
    QCOMPARE(mine.size(), 2);
    for (QSignalSpy* other : spies)
      if (other != &mine) QCOMPARE(other->size(), 0);
  }

  void aReloadAnnouncesWhatChanged() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    LoadPreferences();
    CPreferences& prefs = CPreferences::Instance();
    QSignalSpy top(&prefs, &CPreferences::AlwaysOnTopChanged);
    QSignalSpy spell(&prefs, &CPreferences::SpellCheckChanged);
    QSignalSpy sounds(&prefs, &CPreferences::EventSoundsChanged);
    QSignalSpy repeat(&prefs, &CPreferences::RepeatRequestSoundChanged);
    // Another program (or the dialog) changed the store: a reload tells.
    store.WriteText(CSettingsStore::kRootKey, "SpellCheck", "1");
    store.WriteText(CSettingsStore::kRootKey, "2", "None");
    store.WriteText(CSettingsStore::kRootKey, "RepeatRequestSound", "1");
    LoadPreferences();
    QCOMPARE(repeat.size(), 1);
    QCOMPARE(spell.size(), 1);
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(top.size(), 0);
  }

  // The archive is on unless the operator turned it off; a retention
  // period that is missing or unusable (by hand, an old file) is 90 days.
  void archiveSettings_data() {
    QTest::addColumn<QString>("off");   // stored "ArchiveOff", or null for none
    QTest::addColumn<QString>("days");  // stored "ArchiveDays", or null for none
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("keptDays");
    QTest::newRow("nothing stored") << QString() << QString() << true << 90;
    QTest::newRow("turned off") << "1" << "30" << false << 30;
    QTest::newRow("turned on again") << "0" << "3650" << true << 3650;
    QTest::newRow("only 1 is true") << "yes" << "365" << true << 365;
    QTest::newRow("no days") << "0" << "0" << true << 90;
    QTest::newRow("negative days") << "0" << "-5" << true << 90;
    QTest::newRow("not a number") << "0" << "ninety" << true << 90;
    QTest::newRow("past ten years") << "0" << "3651" << true << 90;
  }
  void archiveSettings() {
    QFETCH(QString, off);
    QFETCH(QString, days);
    QFETCH(bool, on);
    QFETCH(int, keptDays);
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    if (!off.isNull()) store.WriteText(CSettingsStore::kRootKey, "ArchiveOff", off);
    if (!days.isNull()) store.WriteText(CSettingsStore::kRootKey, "ArchiveDays", days);
    LoadPreferences();
    CPreferences& prefs = CPreferences::Instance();
    QCOMPARE(prefs.ArchiveOn(), on);
    QCOMPARE(prefs.ArchiveDays(), keptDays);
    // Set the other way and back: stored, and each change said once.
    QSignalSpy onChanged(&prefs, &CPreferences::ArchiveOnChanged);
    QSignalSpy daysChanged(&prefs, &CPreferences::ArchiveDaysChanged);
    prefs.SetArchiveOn(!on);
    prefs.SetArchiveDays(keptDays == 7 ? 8 : 7);
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "ArchiveOff").value(), on ? QString("1") : QString("0"));
    LoadPreferences();
    QCOMPARE(prefs.ArchiveOn(), !on);
    QCOMPARE(prefs.ArchiveDays(), 7);
    QCOMPARE(onChanged.size(), 1);
    QCOMPARE(daysChanged.size(), 1);
  }

  // Exec as desktop entries require: quoted, quoting escapes, then the
  // string escapes (a backslash becomes four), and "%" doubled.
  // The entry starts the console as it runs now: against the service it
  // was pointed at, each argument quoted alike.
  void autoStartExecIsQuoted_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << "/usr/bin/talvero" << QStringList{} << R"("/usr/bin/talvero")";
    QTest::newRow("space and quote") << R"(/opt/My Apps/tal "beta"/talvero)" << QStringList{}
                                     << R"("/opt/My Apps/tal \\"beta\\"/talvero")";
    QTest::newRow("dollar, backquote, backslash, percent")
        << R"(/opt/$x`y\z%u/talvero)" << QStringList{} << R"("/opt/\\$x\\`y\\\\z%%u/talvero")";
    QTest::newRow("another service") << "/usr/bin/talvero" << QStringList{"--service", "chat.example.com:8443"}
                                     << R"("/usr/bin/talvero" "--service" "chat.example.com:8443")";
  }
  void autoStartExecIsQuoted() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, exec);
    CTestSettingsFolder folder;
    CAutoStart::SetArguments(arguments);
    QVERIFY(CAutoStart::Set(true, program));
    CAutoStart::SetArguments({});
    QFile entry(folder.Path() + "/autostart/org.talvero.Console.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    QCOMPARE(lines.first(), QString("[Desktop Entry]"));
    QVERIFY2(lines.contains("Exec=" + exec), qPrintable(lines.join('|')));
    QVERIFY(lines.contains("Icon=org.talvero.Console"));
    QVERIFY(CAutoStart::IsOn(program));
    QVERIFY(!CAutoStart::IsOn(program.toUpper()));  // paths compare exactly
    QVERIFY(!CAutoStart::IsOn(program + "2"));
  }

  void autoStartEntryComesAndGoes() {
    CTestSettingsFolder folder;
    const QString program = CAutoStart::ProgramPath();
    QVERIFY(!CAutoStart::IsOn());
    QVERIFY(CAutoStart::Set(false));  // nothing to remove is no failure
    QVERIFY(CAutoStart::Set(true));
    QVERIFY(CAutoStart::IsOn(program));
    QVERIFY(CAutoStart::Set(false));
    QVERIFY(!QFile::exists(CAutoStart::EntryPath()));
    // A desktop that switches the entry off hides it.
    WriteFile(CAutoStart::EntryPath(), "[Desktop Entry]\nExec=" + CAutoStart::ExecValue(program).toUtf8() + "\nHidden=true\n");
    QVERIFY(!CAutoStart::IsOn(program));
    // Without XDG_CONFIG_HOME the entry is in ~/.config/autostart.
    const QByteArray home = qgetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", folder.Path().toLocal8Bit());
    const QString fallback = CAutoStart::EntryPath();
    qputenv("HOME", home);
    QCOMPARE(fallback, folder.Path() + "/.config/autostart/org.talvero.Console.desktop");
  }

  // An entry an earlier version wrote under its old name counts, and never
  // stays beside the new one: the program would start twice.
  void earlierAutoStartEntryIsTakenOver() {
    CTestSettingsFolder folder;
    const QString program = CAutoStart::ProgramPath();
    const QByteArray earlier = "[Desktop Entry]\nExec=" + CAutoStart::ExecValue(program).toUtf8() + "\n";
    QDir().mkpath(QFileInfo(CAutoStart::EarlierEntryPath()).path());
    WriteFile(CAutoStart::EarlierEntryPath(), earlier);
    QVERIFY(CAutoStart::IsOn(program));
    QVERIFY(CAutoStart::Set(true));
    QVERIFY(QFile::exists(CAutoStart::EntryPath()));
    QVERIFY(!QFile::exists(CAutoStart::EarlierEntryPath()));
    WriteFile(CAutoStart::EarlierEntryPath(), earlier);
    QVERIFY(CAutoStart::Set(false));
    QVERIFY(!QFile::exists(CAutoStart::EntryPath()) && !QFile::exists(CAutoStart::EarlierEntryPath()));
    QVERIFY(!CAutoStart::IsOn(program));
  }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_Preferences.moc"
