// The preferences dialog: the event list and its modes, Test and Browse,
// and what OK and Cancel leave in the store, the preferences and the
// autostart entry.
#include "AutoStart.h"
#include "EventSound.h"
#include "Preferences.h"
#include "RecordingDesktopServices.h"
#include "SettingsStore.h"
#include "SoundsDlg.h"
#include "TestEnvironment.h"
#include "TestWaves.h"
#include "WindowParts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

// A reference, not a copy: the key is a static of another file, made in no known order.
const QString& kRoot = CSettingsStore::kRootKey;

// Settings with the key; event 0 silenced, event 1 a file of the operator's.
struct Setup {
  Setup() {
    store.CreateKey(kRoot);
    ring = WriteFile(folder.Path() + "/ring.wav", WaveBytes());
    store.WriteText(kRoot, "0", "None");
    store.WriteText(kRoot, "1", ring);
    store.WriteText(kRoot, "SpellCheck", "1");
    LoadPreferences();
  }
  QString Stored(const QString& name) const { return store.ReadText(kRoot, name).value_or("(absent)"); }

  CTestSettingsFolder folder;
  CRecordingDesktopServices desktop;
  CSettingsStore store;
  QString ring;
};

// The dialog's controls as the operator finds them, by their texts and names.
using namespace WindowParts;
QListWidget* SoundList(const QWidget& dlg) { return Called<QListWidget>(dlg, "Sounds"); }
QLineEdit* FileEdit(const QWidget& dlg) { return Called<QLineEdit>(dlg, "Sound file"); }
QRadioButton* ModeButton(const QWidget& dlg, int mode) {
  const char* const texts[] = {"Default", "None", "Custom"};  // by CSoundsDlg::Mode
  return Button<QRadioButton>(dlg, texts[mode]);
}
QPushButton* PushButton(const QWidget& dlg, const QString& text) { return Button<QPushButton>(dlg, text); }
QCheckBox* Box(const QWidget& dlg, const QString& text) { return Button<QCheckBox>(dlg, text); }
QCheckBox* AutoStartBox(const QWidget& dlg) { return Box(dlg, "Automatic Start on Desktop Start Up"); }
QCheckBox* SpellCheckBox(const QWidget& dlg) { return Box(dlg, "Enable Spell Check"); }
QCheckBox* TopBox(const QWidget& dlg) { return Box(dlg, "Always On Top"); }
QCheckBox* RepeatBox(const QWidget& dlg) {
  return Box(dlg, "Repeat the chat request sound every 30 s until the chat is taken");
}

}  // namespace

class TestSoundsDlg : public QObject {
  Q_OBJECT

 private slots:
  void selectingAnEventShowsItsMode() {
    Setup setup;
    CAutoStart::Set(true);
    CSoundsDlg dlg;
    QCOMPARE(SoundList(dlg)->item(5)->text(), QString("Chat Request (When busy in Chatting)"));
    QVERIFY(AutoStartBox(dlg)->isChecked() && SpellCheckBox(dlg)->isChecked());
    QVERIFY(!TopBox(dlg)->isChecked() && !RepeatBox(dlg)->isChecked());
    QVERIFY(RepeatBox(dlg)->width() >= RepeatBox(dlg)->sizeHint().width());  // its long text shows whole

    struct Row { int event; int mode; QString edit; bool editOn, testOn; };
    const Row rows[] = {
        {0, CSoundsDlg::ModeNone, "", false, false},
        {1, CSoundsDlg::ModeCustom, setup.ring, true, true},
        {0, CSoundsDlg::ModeNone, "", false, false},  // the edit cleared after a file, not stored
        {2, CSoundsDlg::ModeDefault, "", false, true},
    };
    for (const Row& row : rows) {
      SoundList(dlg)->setCurrentRow(row.event);
      QVERIFY(ModeButton(dlg, row.mode)->isChecked() && ModeButton(dlg, CSoundsDlg::ModeNone)->isEnabled());
      QCOMPARE(FileEdit(dlg)->text(), row.edit);
      QCOMPARE(FileEdit(dlg)->isEnabled(), row.editOn);
      QCOMPARE(PushButton(dlg, "Test")->isEnabled(), row.testOn);
      QVERIFY(!PushButton(dlg, "Browse")->isEnabled());  // only a click on Custom enables it
    }
    QCOMPARE(dlg.Working().mid(0, 3), QStringList({"None", setup.ring, ""}));
    SoundList(dlg)->clearSelection();
    QVERIFY(!ModeButton(dlg, CSoundsDlg::ModeDefault)->isEnabled() && !PushButton(dlg, "Test")->isEnabled());
  }

  void customFileFromTypingAndBrowsing() {
    Setup setup;
    CSoundsDlg dlg;
    SoundList(dlg)->setCurrentRow(3);
    QTest::mouseClick(ModeButton(dlg, CSoundsDlg::ModeCustom), Qt::LeftButton);
    QTest::keyClicks(FileEdit(dlg), "/x.wav");
    QCOMPARE(dlg.Working().at(3), QString("/x.wav"));
    setup.desktop.ScriptFileNames({"", "/sounds/bell.wav"});
    PushButton(dlg, "Browse")->click();  // cancelled
    QCOMPARE(dlg.Working().at(3), QString("/x.wav"));
    PushButton(dlg, "Browse")->click();
    QCOMPARE(FileEdit(dlg)->text() + dlg.Working().at(3), QString("/sounds/bell.wav/sounds/bell.wav"));
    QCOMPARE(setup.desktop.fileDialogs.first().filter, QString("Wave Files (*.wav)"));
    // Default keeps the path in the edit; Custom again takes it back.
    QTest::mouseClick(ModeButton(dlg, CSoundsDlg::ModeDefault), Qt::LeftButton);
    QCOMPARE(dlg.Working().at(3), QString("Default"));
    QTest::mouseClick(ModeButton(dlg, CSoundsDlg::ModeCustom), Qt::LeftButton);
    QCOMPARE(dlg.Working().at(3), QString("/sounds/bell.wav"));
  }

  // What Test plays for event 4 (built-in 168) in each state.
  void testPlaysTheChosenSound_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");  // typed in Custom mode
    QTest::addColumn<QString>("played");
    QTest::newRow("default") << int(CSoundsDlg::ModeDefault) << "" << "qrc:/sounds/168.wav";
    QTest::newRow("none") << int(CSoundsDlg::ModeNone) << "" << "";
    QTest::newRow("custom without a file") << int(CSoundsDlg::ModeCustom) << "" << "";
    QTest::newRow("custom file") << int(CSoundsDlg::ModeCustom) << "RING" << "RING";
    QTest::newRow("missing file falls back") << int(CSoundsDlg::ModeCustom) << "/no/such.wav" << "qrc:/sounds/168.wav";
  }
  void testPlaysTheChosenSound() {
    QFETCH(int, mode);
    QFETCH(QString, file);
    QFETCH(QString, played);
    Setup setup;
    file.replace("RING", setup.ring);
    played.replace("RING", QUrl::fromLocalFile(setup.ring).toString());
    CSoundsDlg dlg;
    SoundList(dlg)->setCurrentRow(EVENT_NEW_VISITOR);
    ModeButton(dlg, mode)->click();
    QTest::keyClicks(FileEdit(dlg), file);
    dlg.OnTest();
    QCOMPARE(setup.desktop.sounds, played.isEmpty() ? QList<QUrl>() : QList<QUrl>({QUrl(played)}));
  }

  void okStoresEverythingAndTells() {
    Setup setup;
    CPreferences& prefs = CPreferences::Instance();
    QSignalSpy top(&prefs, &CPreferences::AlwaysOnTopChanged);
    QSignalSpy spell(&prefs, &CPreferences::SpellCheckChanged);
    QSignalSpy repeat(&prefs, &CPreferences::RepeatRequestSoundChanged);
    CSoundsDlg dlg;
    SoundList(dlg)->setCurrentRow(EVENT_NEW_VISITOR);
    ModeButton(dlg, CSoundsDlg::ModeNone)->click();
    AutoStartBox(dlg)->setChecked(true);
    SpellCheckBox(dlg)->setChecked(false);
    TopBox(dlg)->setChecked(true);
    RepeatBox(dlg)->setChecked(true);
    PushButton(dlg, "OK")->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(setup.Stored("4") + setup.Stored("3") + setup.Stored("1"), "None" + setup.ring);
    QCOMPARE(setup.Stored("Top") + setup.Stored("SpellCheck") + setup.Stored("RepeatRequestSound"), QString("101"));
    QCOMPARE(top.size() + spell.size() + repeat.size(), 3);
    QVERIFY(CAutoStart::IsOn());
    PlayEventSound(EVENT_NEW_VISITOR);
    QVERIFY(setup.desktop.sounds.isEmpty());

    CSoundsDlg again;  // unticking automatic start removes the entry
    AutoStartBox(again)->setChecked(false);
    again.OnOK();
    QVERIFY(!QFile::exists(CAutoStart::EntryPath()));
  }

  // The archive's rows: kept or not and for how long go with OK; deleting
  // happens at once, and only when the question is answered Yes.
  void archiveRows_data() {
    QTest::addColumn<bool>("keep");
    QTest::addColumn<bool>("yes");
    QTest::newRow("off, not deleted") << false << false;
    QTest::newRow("kept 30 days, deleted") << true << true;
  }
  void archiveRows() {
    QFETCH(bool, keep);
    QFETCH(bool, yes);
    Setup setup;
    int deletes = 0;
    CSoundsDlg dlg(nullptr, [&] { ++deletes; });
    QCOMPARE(Box(dlg, "Keep chats in the archive for")->isChecked(), true);
    Box(dlg, "Keep chats in the archive for")->setChecked(keep);
    Called<QSpinBox>(dlg, "Days to keep archived chats")->setValue(30);
    setup.desktop.ScriptAnswers({yes ? CDesktopServices::Answer::Yes : CDesktopServices::Answer::No});
    PushButton(dlg, "Delete the archive")->click();
    QCOMPARE(deletes, yes ? 1 : 0);
    PushButton(dlg, "OK")->click();
    QCOMPARE(setup.Stored("ArchiveOff") + setup.Stored("ArchiveDays"), QString(keep ? "030" : "130"));
    QCOMPARE(CPreferences::Instance().ArchiveOn(), keep);
    // A console that keeps no archive offers no deleting.
    QVERIFY(!PushButton(CSoundsDlg(), "Delete the archive")->isEnabled());
  }

  void cancelChangesNothing() {
    Setup setup;
    // Opened afresh: the store replaces the file rather than writing into it.
    auto contents = [&] { QFile file(setup.folder.SettingsFile()); return file.open(QIODevice::ReadOnly) ? file.readAll() : ""; };
    const QByteArray before = contents();
    CSoundsDlg dlg;
    SoundList(dlg)->setCurrentRow(1);
    ModeButton(dlg, CSoundsDlg::ModeDefault)->click();
    AutoStartBox(dlg)->setChecked(true);
    TopBox(dlg)->setChecked(true);
    PushButton(dlg, "Cancel")->click();
    QCOMPARE(contents(), before);
    QCOMPARE(EventSoundSetting(1), setup.ring);
    QVERIFY(!IsAlwaysOnTop() && !QFile::exists(CAutoStart::EntryPath()));
  }

  // The console may go away (a log-out reply) while the dialog is open.
  void runSurvivesItsOwner() {
    Setup setup;
    auto* owner = new QWidget;
    QTimer::singleShot(0, owner, [owner] { delete owner; });
    QCOMPARE(CSoundsDlg::Run(owner), int(QDialog::Rejected));
  }

  // Only where the desktop has no tray: the note of where alerts appear,
  // whole (wrapped into its rows), between the last option and OK.
  void noTrayNote() {
    for (const bool tray : {true, false}) {
      Setup setup;
      setup.desktop.trayAvailable = tray;
      CSoundsDlg dialog;
      QLabel* note = nullptr;
      for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text() == CDesktopServices::AlertsWithoutTray()) note = label;
      QCOMPARE(note != nullptr, !tray);
      if (tray) continue;
      const QPushButton* ok = PushButton(dialog, "OK");
      QVERIFY(note->heightForWidth(note->width()) <= note->height());
      QVERIFY(note->geometry().bottom() < ok->geometry().top());
      QVERIFY(dialog.rect().contains(note->geometry()));
      QVERIFY(dialog.rect().contains(ok->geometry()));
    }
  }
};

QTEST_MAIN(TestSoundsDlg)
#include "tst_SoundsDlg.moc"
