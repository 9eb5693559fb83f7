// The preferences' Shortcuts page, driven through its widgets: a key typed
// for a command, a clash refused in the page, Reset, Reset All, and what OK
// and Cancel keep.
#include "RecordingDesktopServices.h"
#include "SettingsStore.h"
#include "Shortcuts.h"
#include "SoundsDlg.h"
#include "TestEnvironment.h"
#include "WindowParts.h"

#include <QAbstractButton>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace WindowParts;

namespace {

struct Setup {
  CTestSettingsFolder folder;
  CRecordingDesktopServices desktop;
  Setup() {
    CSettingsStore().CreateKey(CSettingsStore::kRootKey);
    CShortcuts::Instance().Load();
  }
};

// The page's parts, found as a person finds them.
struct Page {
  explicit Page(CSoundsDlg& dlg)
      : list(Named<QTreeWidget>(dlg, "shortcutList")),
        edit(Named<QKeySequenceEdit>(dlg, "shortcutEdit")),
        refusal(Named<QLabel>(dlg, "shortcutRefusal")),
        reset(Button<QPushButton>(dlg, "Reset to Default")),
        resetAll(Button<QPushButton>(dlg, "Reset All")) {
    dlg.findChild<QTabWidget*>()->setCurrentIndex(1);
  }
  // Chooses the command by its name and presses `key` in the key box.
  void Press(const QString& command, QKeyCombination key) {
    Choose(command);
    edit->setFocus();
    QTest::keyClick(edit, key.key(), key.keyboardModifiers());
  }
  void Choose(const QString& command) {
    const QList<QTreeWidgetItem*> rows = list->findItems(command, Qt::MatchExactly);
    QCOMPARE(rows.size(), 1);
    list->setCurrentItem(rows.first());
  }
  QString Shown(const QString& command) const { return list->findItems(command, Qt::MatchExactly).first()->text(1); }

  QTreeWidget* list;
  QKeySequenceEdit* edit;
  QLabel* refusal;
  QPushButton* reset;
  QPushButton* resetAll;
};

QString Native(const char* key) {
  return QKeySequence::fromString(QString::fromLatin1(key), QKeySequence::PortableText).toString(QKeySequence::NativeText);
}

}  // namespace

class TestShortcutsPage : public QObject {
  Q_OBJECT

 private slots:
  // Each Alt+letter leads to one control on either page, the page tabs'
  // own included: a letter shared with the hidden page would change its
  // meaning with the page shown.
  void mnemonicsOfBothPagesDiffer() {
    Setup setup;
    CSoundsDlg dlg;
    QStringList texts;
    for (QAbstractButton* button : dlg.findChildren<QAbstractButton*>()) texts << button->text();
    for (QLabel* label : dlg.findChildren<QLabel*>())
      if (label->buddy()) texts << label->text();
    auto* pages = dlg.findChild<QTabWidget*>();
    for (int i = 0; i < pages->count(); ++i) texts << pages->tabText(i);
    QMap<QString, QStringList> byKey;
    for (const QString& text : texts)
      if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty()) byKey[key.toString()] << text;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) QVERIFY2(it->size() == 1, qPrintable(it->join(" | ")));
    QVERIFY(byKey.size() > 15);
  }

  void okKeepsCancelDrops_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("kept");
    QTest::newRow("OK") << "OK" << "F9";
    QTest::newRow("Cancel") << "Cancel" << "Ctrl+Tab";
  }
  void okKeepsCancelDrops() {
    QFETCH(QString, button);
    QFETCH(QString, kept);
    Setup setup;
    CSoundsDlg dlg;
    dlg.show();
    Page page(dlg);
    page.Press("Next chat", QKeyCombination(Qt::Key_F9));
    QCOMPARE(page.Shown("Next chat"), Native("F9"));
    QVERIFY(page.refusal->text().isEmpty());
    QCOMPARE(dlg.focusWidget(), page.list);  // the next keys move in the list again
    QCOMPARE(CShortcuts::Instance().Key("NextChat"), QKeySequence(Qt::CTRL | Qt::Key_Tab));  // not before OK
    Button<QPushButton>(dlg, button)->click();
    QCOMPARE(CShortcuts::Instance().Key("NextChat").toString(), kept);
    CShortcuts::Instance().Load();  // as the next start reads it
    QCOMPARE(CShortcuts::Instance().Key("NextChat").toString(), kept);
  }

  void clashRefusedInThePage() {
    Setup setup;
    CSoundsDlg dlg;
    dlg.show();
    Page page(dlg);
    page.Press("Next chat", Qt::CTRL | Qt::Key_1);
    QVERIFY2(page.refusal->text().contains("\"Chat 1\""), qPrintable(page.refusal->text()));
    QCOMPARE(page.Shown("Next chat"), Native("Ctrl+Tab"));
    QCOMPARE(page.edit->keySequence(), QKeySequence(Qt::CTRL | Qt::Key_Tab));
    page.Choose("Responses");  // another command: the sentence goes
    QVERIFY(page.refusal->text().isEmpty());
    Button<QPushButton>(dlg, "OK")->click();
    QCOMPARE(CShortcuts::Instance().AllKeys(), CShortcuts::Defaults());
  }

  // Reset gives one command its default back, unless another took it
  // meanwhile; Reset All gives every default back. From the keyboard,
  // Backspace takes a key away and Escape leaves the box unchanged.
  void resetAndTheKeyboard() {
    Setup setup;
    CSoundsDlg dlg;
    dlg.show();
    Page page(dlg);
    page.Press("Spell Check", QKeyCombination(Qt::Key_Backspace));
    QCOMPARE(page.Shown("Spell Check"), QString());
    page.Press("Emoticons", QKeyCombination(Qt::Key_F7));
    QCOMPARE(page.Shown("Emoticons"), Native("F7"));
    page.Choose("Spell Check");
    page.reset->click();
    QVERIFY2(page.refusal->text().contains("\"Emoticons\""), qPrintable(page.refusal->text()));
    QCOMPARE(page.Shown("Spell Check"), QString());
    page.Press("Next chat", QKeyCombination(Qt::Key_F8));
    page.reset->click();
    QCOMPARE(page.Shown("Next chat"), Native("Ctrl+Tab"));
    page.Press("Previous chat", QKeyCombination(Qt::Key_Escape));
    QCOMPARE(page.Shown("Previous chat"), Native("Ctrl+Shift+Tab"));
    QCOMPARE(dlg.focusWidget(), page.list);
    page.resetAll->click();
    QCOMPARE(page.Shown("Spell Check"), Native("F7"));
    QCOMPARE(page.Shown("Emoticons"), QString());
    Button<QPushButton>(dlg, "OK")->click();
    QCOMPARE(CShortcuts::Instance().AllKeys(), CShortcuts::Defaults());
  }
};

QTEST_MAIN(TestShortcutsPage)
#include "tst_ShortcutsPage.moc"
