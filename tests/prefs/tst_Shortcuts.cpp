// The commands' keys: which keys are refused and why, what is stored and
// read back, and what a damaged stored value gives.
#include "SettingsStore.h"
#include "Shortcuts.h"
#include "TestEnvironment.h"

#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

// Where the README says they are.
const QString kKey = QStringLiteral("Software\\TVR\\Client\\Shortcuts");

QKeySequence Key(const char* text) { return QKeySequence::fromString(QString::fromLatin1(text), QKeySequence::PortableText); }

}  // namespace

class TestShortcuts : public QObject {
  Q_OBJECT

 private slots:
  void defaultsAreTodaysKeysAndClashWithNothing() {
    const CShortcuts::Keys keys = CShortcuts::Defaults();
    QCOMPARE(keys.value("NextChat"), Key("Ctrl+Tab"));
    QCOMPARE(keys.value("PreviousChat"), Key("Ctrl+Shift+Tab"));
    QCOMPARE(keys.value("Chat9"), Key("Ctrl+9"));
    QCOMPARE(keys.value("Console"), Key("Ctrl+0"));
    QCOMPARE(keys.value("SearchArchive"), Key("Ctrl+Shift+F"));
    for (const CShortcuts::Command& command : CShortcuts::Commands())
      QVERIFY2(CShortcuts::Refusal(keys, command.id, command.defaultKey).isEmpty(), qPrintable(command.id));
  }

  void refusals_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("refusal");  // a part of the sentence; empty: allowed
    QTest::newRow("free key") << "NextChat" << Key("Ctrl+T") << "";
    QTest::newRow("no key") << "NextChat" << QKeySequence() << "";
    QTest::newRow("function key alone") << "Responses" << Key("F9") << "";
    QTest::newRow("Ctrl+Alt with a letter") << "Responses" << Key("Ctrl+Alt+R") << "";
    QTest::newRow("its own key") << "Chat1" << Key("Ctrl+1") << "";
    QTest::newRow("same window") << "NextChat" << Key("Ctrl+1") << "\"Chat 1\"";
    QTest::newRow("same chat window") << "ChatTransfer" << Key("F7") << "\"Spell Check\"";
    QTest::newRow("Backtab is Shift+Tab") << "NextChat" << Key("Ctrl+Shift+Backtab") << "\"Previous chat\"";
    QTest::newRow("keypad digit is the digit") << "Responses" << QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_3))
                                               << "\"Chat 3\"";
    QTest::newRow("console and chats share the archive") << "SearchArchive" << Key("Ctrl+0")
                                                         << "\"Back to the console\"";
    // Accept lives in the console only, the way back to it in chats only.
    QTest::newRow("windows never together") << "Accept" << Key("Ctrl+0") << "";
    QTest::newRow("mnemonic") << "Responses" << Key("Alt+C") << "underlined letters";
    QTest::newRow("mnemonic with Shift") << "Responses" << Key("Alt+Shift+H") << "underlined letters";
    QTest::newRow("copy") << "Responses" << Key("Ctrl+C") << "text boxes";
    QTest::newRow("Enter") << "Emoticons" << Key("Return") << "text boxes";
    QTest::newRow("Escape") << "Emoticons" << Key("Esc") << "text boxes";
    QTest::newRow("Tab") << "NextChat" << Key("Tab") << "text boxes";
    QTest::newRow("Shift+Tab") << "PreviousChat" << Key("Shift+Backtab") << "text boxes";
    QTest::newRow("caret key") << "Emoticons" << Key("Ctrl+Left") << "text boxes";
    QTest::newRow("a letter") << "Emoticons" << Key("E") << "types text";
    QTest::newRow("two chords") << "Emoticons" << Key("Ctrl+E, Ctrl+M") << "one key";
  }
  void refusals() {
    QFETCH(QString, id);
    QFETCH(QKeySequence, key);
    QFETCH(QString, refusal);
    const QString said = CShortcuts::Refusal(CShortcuts::Defaults(), id, key);
    if (refusal.isEmpty())
      QVERIFY2(said.isEmpty(), qPrintable(said));
    else
      QVERIFY2(said.contains(refusal), qPrintable(said));
  }

  // What is stored comes back after a restart; a default is stored as
  // absent, no key as an empty value; a clash stores nothing.
  void storedAndReadBack() {
    CTestSettingsFolder folder;
    CShortcuts& shortcuts = CShortcuts::Instance();
    shortcuts.Load();
    QCOMPARE(shortcuts.AllKeys(), CShortcuts::Defaults());
    QSignalSpy changed(&shortcuts, &CShortcuts::Changed);

    CShortcuts::Keys keys = shortcuts.AllKeys();
    keys["NextChat"] = Key("Ctrl+Shift+Backtab");  // the two swapped
    keys["PreviousChat"] = Key("Ctrl+Tab");
    keys["SpellCheck"] = QKeySequence();
    keys["Emoticons"] = Key("Ctrl+E");
    QVERIFY(shortcuts.Store(keys));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shortcuts.Key("NextChat"), Key("Ctrl+Shift+Tab"));
    const CSettingsStore store;
    QCOMPARE(store.ReadText(kKey, "Emoticons"), QString("Ctrl+E"));
    QCOMPARE(store.ReadText(kKey, "SpellCheck"), QString(""));
    QCOMPARE(store.ReadText(kKey, "Chat1"), std::nullopt);

    CShortcuts::Keys clash = keys;
    clash["Responses"] = Key("Ctrl+E");
    QVERIFY(!shortcuts.Store(clash));
    QCOMPARE(shortcuts.Key("Responses"), QKeySequence());
    QCOMPARE(CSettingsStore().ReadText(kKey, "Responses"), std::nullopt);

    shortcuts.Store(CShortcuts::Defaults());  // Reset All
    shortcuts.Load();
    QCOMPARE(shortcuts.AllKeys(), CShortcuts::Defaults());
    QCOMPARE(CSettingsStore().ReadText(kKey, "Emoticons"), std::nullopt);

    QVERIFY(shortcuts.Store(keys));
    // Another start: read from the file alone.
    CSettingsStore().WriteText(kKey, "Chat2", "Ctrl+2");
    changed.clear();
    shortcuts.Load();
    QCOMPARE(changed.count(), 0);
    keys["NextChat"] = Key("Ctrl+Shift+Tab");
    QCOMPARE(shortcuts.AllKeys(), keys);
  }

  void damagedValuesFallBack_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QKeySequence>("key");  // of Emoticons after loading
    QTest::newRow("no key") << "" << QKeySequence();
    QTest::newRow("a key") << "Ctrl+E" << Key("Ctrl+E");
    QTest::newRow("not a key") << "Ctrl+Bogus" << QKeySequence();
    QTest::newRow("two chords") << "Ctrl+E, Ctrl+M" << QKeySequence();
    QTest::newRow("refused") << "Ctrl+V" << QKeySequence();
    QTest::newRow("a mnemonic") << "Alt+K" << QKeySequence();
    QTest::newRow("clash with a default") << "F7" << QKeySequence();
  }
  void damagedValuesFallBack() {
    QFETCH(QString, stored);
    QFETCH(QKeySequence, key);
    CTestSettingsFolder folder;
    CSettingsStore store;
    QVERIFY(store.CreateKey(kKey));
    store.WriteText(kKey, "Emoticons", stored);
    store.WriteBinary(kKey, "Responses", "Ctrl+R");  // not text: absent
    CShortcuts::Instance().Load();
    QCOMPARE(CShortcuts::Instance().Key("Emoticons"), key);
    QCOMPARE(CShortcuts::Instance().Key("Responses"), QKeySequence());
    QCOMPARE(CShortcuts::Instance().Key("SpellCheck"), Key("F7"));
  }

  // Two stored keys that clash (a hand-edited file): the first gives way.
  void storedClashGivesWay() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    QVERIFY(store.CreateKey(kKey));
    store.WriteText(kKey, "Responses", "Ctrl+R");
    store.WriteText(kKey, "PushUrls", "Ctrl+R");
    CShortcuts::Instance().Load();
    QCOMPARE(CShortcuts::Instance().Key("Responses"), QKeySequence());
    QCOMPARE(CShortcuts::Instance().Key("PushUrls"), Key("Ctrl+R"));
  }

  // A bound shortcut follows the store at once, Shift+Tab with its Backtab.
  void boundShortcutFollows() {
    CTestSettingsFolder folder;
    CShortcuts& shortcuts = CShortcuts::Instance();
    shortcuts.Load();
    QWidget window;
    auto* shortcut = new QShortcut(&window);
    shortcuts.Bind(shortcut, "NextChat");
    QCOMPARE(shortcut->keys(), QList<QKeySequence>({Key("Ctrl+Tab")}));
    CShortcuts::Keys keys = shortcuts.AllKeys();
    keys["NextChat"] = Key("Ctrl+Shift+Backtab");
    keys["PreviousChat"] = QKeySequence();
    QVERIFY(shortcuts.Store(keys));
    QCOMPARE(shortcut->keys(), QList<QKeySequence>({Key("Ctrl+Shift+Tab"), Key("Ctrl+Shift+Backtab")}));
    shortcuts.Store(CShortcuts::Defaults());
  }
};

QTEST_MAIN(TestShortcuts)
#include "tst_Shortcuts.moc"
