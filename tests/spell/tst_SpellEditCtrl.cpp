// The spell-checking entry box on real widgets and real dictionary files in
// a temporary folder: marks, the caret on right-click, the context menu,
// replacing and adding words, and the store shared between boxes.
#include "Dictionary.h"
#include "MySpellEditCtrl.h"
#include "SharedDictionary.h"
#include "SpellWords.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kEdits = QStringLiteral("&Undo#199~ - Cu&t#768~ &Copy#769~ &Paste#770 &Delete#771~ - Select &All#29696");
const QString kAdd = QStringLiteral("Add to Dictionary");

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The shipped dictionary of one test and where the user's copy goes.
struct CFiles {
  QTemporaryDir dir;
  QString Shipped() const { return dir.path() + QStringLiteral("/TVRDIC.dic"); }
  QString User() const { return dir.path() + QStringLiteral("/data/talvero/TVRDIC.dic"); }
  explicit CFiles(const QByteArrayList& words) {
    CDictionary dictionary;
    for (const QByteArray& word : words) dictionary.AddWord(word);
    dictionary.Save(Shipped());
  }
};

std::unique_ptr<CMySpellEditCtrl> MakeBox(CSharedDictionary& store, const QString& text, bool on = true) {
  auto box = std::make_unique<CMySpellEditCtrl>(nullptr, &store);
  box->resize(400, 200);
  box->show();
  box->setPlainText(text);
  box->SetSpellCheck(on);
  return box;
}

QString MarkedTexts(const CMySpellEditCtrl& box) {
  QStringList out;
  for (const auto& [start, end] : box.MarkedRanges()) out.append(box.toPlainText().mid(start, end - start));
  return out.join(u'|');
}

void PlaceCaret(CMySpellEditCtrl& box, int start, int end = -1) {
  QTextCursor cursor = box.textCursor();
  cursor.setPosition(start);
  if (end >= 0) cursor.setPosition(end, QTextCursor::KeepAnchor);
  box.setTextCursor(cursor);
}

// "text#id" for each entry, "~" after a grayed one, "-" for a separator.
// The entries of the menu but the language submenu (and its separator).
QString Layout(const QMenu& menu) {
  QStringList out;
  for (const QAction* a : menu.actions()) {
    if (a->menu() != nullptr) continue;
    out.append(a->isSeparator() ? QStringLiteral("-")
                                : a->text() + u'#' + QString::number(a->data().toInt()) + (a->isEnabled() ? "" : "~"));
  }
  if (!out.isEmpty() && out.last() == u"-") out.removeLast();
  return out.join(u' ');
}

QMenu* LanguageMenu(const QMenu& menu) {
  for (const QAction* a : menu.actions())
    if (a->menu() != nullptr) return a->menu();
  return nullptr;
}

void Choose(const QMenu& menu, const QString& text) {
  for (QAction* a : menu.actions())
    if (a->text() == text) return a->trigger();
  QFAIL(qPrintable(text + " is not in the menu"));
}

}  // namespace

class TestSpellEditCtrl : public QObject {
  Q_OBJECT

 private:
  // The system's Hunspell dictionaries and the user's data folder of this
  // test: German, to be made into the console's format, and nothing else.
  QTemporaryDir m_system;

 private slots:
  void initTestCase() {
    const QString hunspell = m_system.filePath("hunspell");
    QDir().mkpath(hunspell);
    QFile aff(hunspell + "/de_DE.aff"), dic(hunspell + "/de_DE.dic");
    QVERIFY(aff.open(QIODevice::WriteOnly) && dic.open(QIODevice::WriteOnly));
    aff.write("SET UTF-8\nSFX S Y 1\nSFX S 0 n e\n");
    dic.write("2\nStra\xC3\x9F" "e/S\nklar\n");
    qputenv("TALVERO_HUNSPELL_DIRS", hunspell.toUtf8());
    qputenv("XDG_DATA_HOME", m_system.filePath("data").toUtf8());
  }
  void init() { QGuiApplication::clipboard()->setText(QStringLiteral("x")); }

  // The Spelling Language menu lists the languages, the one in use ticked;
  // choosing German checks in German once its dictionary is made, and a
  // word added goes to the operator's German copy.
  void theLanguageMenuSwitchesTheStore() {
    CFiles files({"hello"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("klar Strase hello"));
    box->SetMarkInterval(50);
    QTRY_COMPARE(MarkedTexts(*box), QStringLiteral("klar|Strase"));
    const std::unique_ptr<QMenu> menu = box->CreateContextMenu();
    QMenu* languages = LanguageMenu(*menu);
    QVERIFY(languages != nullptr);
    QCOMPARE(Layout(*languages), QStringLiteral("English (en)#1200 Deutsch (de)#1201"));
    QVERIFY(languages->actions().at(0)->isChecked());
    languages->actions().at(1)->trigger();
    QTRY_COMPARE(box->Language(), QStringLiteral("de"));
    QVERIFY(box->IsSpellCheckOn());
    QTRY_COMPARE(MarkedTexts(*box), QStringLiteral("Strase|hello"));
    PlaceCaret(*box, 6);
    QVERIFY(Layout(*box->CreateContextMenu()).startsWith(QStringLiteral("Stra\u00DFe#1124")));
    PlaceCaret(*box, 13);
    Choose(*box->CreateContextMenu(), kAdd);
    QVERIFY(QFile::exists(m_system.filePath("data/talvero/TVRDIC-de.dic")));
    box->FreeDictionary();
  }

  void marking_data() {
    QTest::addColumn<QByteArrayList>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marks");
    const QByteArrayList hello{"hello"};
    QTest::newRow("with trailing punctuation") << hello << "hello Helo, world" << "Helo,|world";
    QTest::newRow("letter case differs") << hello << "Hello HELLO hello." << "";
    QTest::newRow("empty words, delimiters") << hello << "--  hello  ...  (helo" << "helo";
    QTest::newRow("apostrophe inside") << QByteArrayList{"don't"} << "don't dont 'don't'" << "dont";
    QTest::newRow("question mark") << QByteArrayList{"is", "it"} << "is it? helo?" << "helo?";
    QTest::newRow("every line, tab inside") << QByteArrayList{"a"} << "a b\nc\ta a" << "b|c\ta";
    // Outside the code page: nothing the store could know or be taught.
    QTest::newRow("code page") << QByteArrayList{"caf\xe9"} << QStringLiteral("caf\u00e9 \u65e5\u672c caff") << "caff";
  }
  void marking() {
    QFETCH(QByteArrayList, stored);
    QFETCH(QString, text);
    CFiles files(stored);
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, text);
    QVERIFY(box->MarkedRanges().isEmpty());  // not before the tick
    box->OnTimer();
    QTEST(MarkedTexts(*box), "marks");
  }

  // Painted by the box: one row of RGB(200,0,0) under the word and its
  // comma, kept by a repaint, moving with text typed before it; the timer
  // renews the marks.
  void marksArePainted() {
    CFiles files({"hello"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("hello Helo, ok"));
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    box->OnTimer();
    const QImage image = box->viewport()->grab().toImage();
    const auto xOf = [&](int pos) { QTextCursor c(box->document()); c.setPosition(pos); return box->cursorRect(c).left(); };
    QList<int> rows, xs;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < xOf(11); ++x)
        if (image.pixelColor(x, y) == QColor(200, 0, 0)) {
          if (!rows.contains(y)) rows.append(y);
          xs.append(x);
        }
    QCOMPARE(rows.size(), 1);
    QVERIFY(qAbs(xs.first() - xOf(6)) <= 1 && qAbs(xs.last() + 1 - xOf(11)) <= 1);
    box->viewport()->repaint();
    QCOMPARE(box->viewport()->grab().toImage(), image);

    PlaceCaret(*box, 0);
    box->insertPlainText(QStringLiteral("oh "));
    QCOMPARE(MarkedTexts(*box), QStringLiteral("Helo,|ok"));
    box->setPlainText(QStringLiteral("fine hello"));
    box->SetMarkInterval(10);
    QTRY_COMPARE(MarkedTexts(*box), QStringLiteral("fine"));
  }

  // Freed, or without a readable dictionary: no marks, no spelling
  // entries, and the store is not held.
  void plainBox_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("freed") << "good";
    QTest::newRow("no file anywhere") << "none";
    QTest::newRow("file cut short") << "cut";
  }
  void plainBox() {
    QFETCH(QString, file);
    CFiles files({"hello"});
    if (file != "good") QVERIFY(QFile::remove(files.Shipped()));
    if (file == "cut") {
      QFile cut(files.Shipped());
      QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write("\x68\x01\x65", 3) == 3);
    }
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("helo"));
    if (file == "good") {
      box->OnTimer();
      QCOMPARE(MarkedTexts(*box), QStringLiteral("helo"));
      box->FreeDictionary();
    }
    QVERIFY(!box->IsSpellCheckOn() && box->MarkedRanges().isEmpty());
    QCOMPARE(store.Holders(), 0);
    QVERIFY(store.Dictionary().IsEmpty());
    box->OnTimer();
    QVERIFY(box->MarkedRanges().isEmpty());
    QCOMPARE(Layout(*box->CreateContextMenu()), kEdits);
  }

  // The spelling entries are about the caret's word, cut like the marks.
  void menu_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("layout");
    const QString cxt = "cat#1124 cot#1125 - Ignore#1150 Add to Dictionary#1127 - " + kEdits;
    QTest::newRow("suggestions, best first") << "a cxt" << 3 << cxt;
    QTest::newRow("on a space: the next word") << "qqqq cxt" << 4 << cxt;
    QTest::newRow("end of a line: its last word") << "cxt\nqqqq" << 3 << cxt;
    QTest::newRow("end of the text, delimiters trimmed") << "cat (cxt." << 9 << cxt;
    QTest::newRow("unknown without suggestions") << "qqqq" << 0 << "Ignore#1150 Add to Dictionary#1125 - " + kEdits;
    QTest::newRow("known in another case") << "Cat" << 1 << kEdits;
    QTest::newRow("no word at the caret") << "cxt " << 4 << kEdits;
    QTest::newRow("empty line") << "cxt\n\ncxt" << 4 << kEdits;
  }
  void menu() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    CFiles files({"cat", "cot", "coat"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, text);
    PlaceCaret(*box, caret);
    QTEST(Layout(*box->CreateContextMenu()), "layout");
  }

  // Read-only with everything selected turns each edit entry's state
  // around from the plain box's (kEdits): only Copy stays available.
  void editEntriesReadOnly() {
    CSharedDictionary none{QString(), QString()};
    const auto box = MakeBox(none, QString(), false);
    box->insertPlainText(QStringLiteral("abc"));  // undoable
    box->selectAll();
    box->setReadOnly(true);
    QCOMPARE(Layout(*box->CreateContextMenu()),
             QStringLiteral("&Undo#199~ - Cu&t#768~ &Copy#769 &Paste#770~ &Delete#771~ - Select &All#29696~"));
  }

  // The press lands on the character under the pointer, also on its right
  // half, where the nearest gap already belongs to the next character.
  void rightClickMovesCaret_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<qreal>("within");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::newRow("left half") << 6 << 0.25 << 6 << 6;
    QTest::newRow("right half of a last letter") << 3 << 0.75 << 3 << 3;
    QTest::newRow("selection kept") << 2 << 0.5 << 11 << 15;
  }
  void rightClickMovesCaret() {
    QFETCH(int, index);
    QFETCH(qreal, within);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    CSharedDictionary none{QString(), QString()};
    const auto box = MakeBox(none, QStringLiteral("helo world hello"), false);
    PlaceCaret(*box, selStart == selEnd ? 0 : selStart, selStart == selEnd ? -1 : selEnd);
    QTextCursor at(box->document());
    at.setPosition(index);
    const QRect left = box->cursorRect(at);
    at.setPosition(index + 1);
    const QPointF point(left.left() + within * (box->cursorRect(at).left() - left.left()), left.center().y());
    QMouseEvent press(QEvent::MouseButtonPress, point, box->viewport()->mapToGlobal(point), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(box->viewport(), &press);
    QCOMPARE(box->textCursor().selectionStart(), selStart);
    QCOMPARE(box->textCursor().selectionEnd(), selEnd);
  }

  // A suggestion replaces the word without its punctuation, and only where
  // the word still stands when the menu closes.
  void suggestionReplacesWord() {
    CFiles files({"hello", "help"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("I said helo, ok"));
    PlaceCaret(*box, 8);
    Choose(*box->CreateContextMenu(), QStringLiteral("hello"));
    QCOMPARE(box->toPlainText(), QStringLiteral("I said hello, ok"));

    box->setPlainText(QStringLiteral("I said helo, ok"));
    PlaceCaret(*box, 8);
    const std::unique_ptr<QMenu> menu = box->CreateContextMenu();
    box->setPlainText(QStringLiteral("I said help, ok"));
    Choose(*menu, QStringLiteral("hello"));
    QCOMPARE(box->toPlainText(), QStringLiteral("I said help, ok"));
  }

  // One store for every box: a word added in one box is known in the other
  // at its next tick, saved to the user's copy (the shipped file stays as
  // it was) and known again after the store is reloaded.
  void addedWordIsSharedAndSaved() {
    CFiles files({"ok"});
    const QByteArray shipped = ReadAll(files.Shipped());
    CSharedDictionary store(files.Shipped(), files.User());
    const auto first = MakeBox(store, QStringLiteral("(qwzx's,"));
    const auto second = MakeBox(store, QStringLiteral("ok qwzx's"));
    QCOMPARE(store.Holders(), 2);
    second->OnTimer();
    QCOMPARE(MarkedTexts(*second), QStringLiteral("qwzx's"));
    PlaceCaret(*first, 0);
    Choose(*first->CreateContextMenu(), kAdd);
    first->OnTimer();
    second->OnTimer();
    QCOMPARE(MarkedTexts(*first) + MarkedTexts(*second), QString());
    QCOMPARE(ReadAll(files.Shipped()), shipped);

    first->FreeDictionary();
    second->SetSpellCheck(false);
    QCOMPARE(store.Holders(), 0);
    QVERIFY(!store.AddWord("zz"));  // would save a one-word copy
    CSharedDictionary reloaded(files.Shipped(), files.User());
    QVERIFY(reloaded.Acquire());
    QCOMPARE(reloaded.Lookup("qwzx's"), CDictionary::Exact);
    QCOMPARE(reloaded.Lookup("ok"), CDictionary::Exact);
  }

  // Ignore is for the one box; Remove from Dictionary is offered for the
  // operator's own words only, and takes them out of the store and the
  // copy on disk (the copy goes with the last of them).
  void ignoreAndRemoveThroughTheMenu() {
    CFiles files({"ok"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto first = MakeBox(store, QStringLiteral("ok qwzx"));
    const auto second = MakeBox(store, QStringLiteral("qwzx abcq"));
    PlaceCaret(*first, 4);
    Choose(*first->CreateContextMenu(), QStringLiteral("Ignore"));
    QCOMPARE(MarkedTexts(*first), QString());
    QCOMPARE(Layout(*first->CreateContextMenu()), kEdits);
    second->OnTimer();
    QCOMPARE(MarkedTexts(*second), QStringLiteral("qwzx|abcq"));

    for (int at : {0, 5}) {
      PlaceCaret(*second, at);
      Choose(*second->CreateContextMenu(), kAdd);
    }
    PlaceCaret(*first, 0);  // "ok" is shipped, not the operator's
    QCOMPARE(Layout(*first->CreateContextMenu()), kEdits);
    PlaceCaret(*second, 0);
    QCOMPARE(Layout(*second->CreateContextMenu()), "Remove from Dictionary#1151 - " + kEdits);
    Choose(*second->CreateContextMenu(), QStringLiteral("Remove from Dictionary"));
    QCOMPARE(MarkedTexts(*second), QStringLiteral("qwzx"));
    {
      CDictionary onDisk;
      QVERIFY(onDisk.Load(files.User()));
      QCOMPARE(onDisk.Lookup("qwzx"), CDictionary::NotFound);
      QCOMPARE(onDisk.Lookup("abcq"), CDictionary::Exact);
    }
    PlaceCaret(*second, 5);
    Choose(*second->CreateContextMenu(), QStringLiteral("Remove from Dictionary"));
    QVERIFY(!QFileInfo::exists(files.User()));
    QCOMPARE(MarkedTexts(*second), QStringLiteral("qwzx|abcq"));
  }

  // A newer shipped list under an old copy of the operator's: the new words
  // are known, the added ones stay, and only those count as added.
  void newerShippedListUnderAnOldCopy() {
    CFiles files({"ok", "gone"});
    {
      CSharedDictionary store(files.Shipped(), files.User());
      QVERIFY(store.Acquire());
      QVERIFY(store.AddWord("qwzx"));
      store.Release();
    }
    CDictionary newer;
    for (const char* word : {"ok", "fresh"}) newer.AddWord(word);
    QVERIFY(newer.Save(files.Shipped()));
    CSharedDictionary store(files.Shipped(), files.User());
    QVERIFY(store.Acquire());
    QCOMPARE(store.Problem(), QString());
    for (const char* word : {"ok", "fresh", "qwzx", "gone"}) QCOMPARE(store.Lookup(word), CDictionary::Exact);
    QVERIFY(store.IsAdded("qwzx") && !store.IsAdded("fresh") && !store.IsAdded("ok"));
  }

  // A copy cut short keeps the words read before the cut, is put aside
  // whole, and is written anew.
  void damagedCopyKeepsAddedWords() {
    CFiles files({"ok"});
    {
      CDictionary copy;
      for (const char* word : {"ok", "qwzx", "zzz"}) copy.AddWord(word);
      QVERIFY(QDir().mkpath(QFileInfo(files.User()).absolutePath()) && copy.Save(files.User()));
    }
    const QByteArray cut = ReadAll(files.User()).chopped(1);
    QFile::resize(files.User(), cut.size());
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("ok qwzx zzz"));
    QVERIFY2(box->SpellCheckProblem().contains(QStringLiteral("cannot be read whole")), qPrintable(box->SpellCheckProblem()));
    box->OnTimer();
    QCOMPARE(MarkedTexts(*box), QStringLiteral("zzz"));
    QCOMPARE(ReadAll(files.User() + QStringLiteral(".damaged")), cut);
    CDictionary rewritten;
    QVERIFY(rewritten.Load(files.User()));
    QCOMPARE(rewritten.Lookup("qwzx"), CDictionary::Exact);
  }

  // The shipped file and the user's copy are read when they can be; with
  // no readable file checking stays off, each said.
  void whichFileIsRead_data() {
    QTest::addColumn<bool>("damagedCopy");
    QTest::addColumn<bool>("shipped");
    QTest::addColumn<QString>("problem");  // empty: checking is on
    QTest::newRow("a damaged copy") << true << true << "cannot be read whole";
    QTest::newRow("no file") << false << false << "Spell checking is off";
    QTest::newRow("nothing readable") << true << false << "Spell checking is off";
  }
  void whichFileIsRead() {
    QFETCH(bool, damagedCopy);
    QFETCH(bool, shipped);
    QFETCH(QString, problem);
    CFiles files({"ok"});
    if (damagedCopy) {
      QVERIFY(QDir().mkpath(QFileInfo(files.User()).absolutePath()) && QFile::copy(files.Shipped(), files.User()));
      QVERIFY(QFile::resize(files.User(), QFileInfo(files.User()).size() - 1));  // cut short
    }
    if (!shipped) QFile::remove(files.Shipped());
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("ok qwzx"));
    QVERIFY2(box->SpellCheckProblem().contains(problem), qPrintable(box->SpellCheckProblem()));
    QCOMPARE(box->IsSpellCheckOn(), shipped);
  }
};

QTEST_MAIN(TestSpellEditCtrl)
#include "tst_SpellEditCtrl.moc"
