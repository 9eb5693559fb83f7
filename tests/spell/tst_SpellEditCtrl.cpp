// The spell-checking entry box on real widgets and real dictionary files in
// a temporary folder: marks, the caret on right-click, the context menu,
// replacing and adding words, and the store shared between boxes.
#include "Dictionary.h"
#include "MySpellEditCtrl.h"
#include "SharedDictionary.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kEdits = QStringLiteral(
    "&Undo#199~ - Cu&t#768~ &Copy#769~ &Paste#770 &Delete#771~ - Select &All#29696");

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files of one test: the shipped dictionary and where the user's copy goes.
struct CFiles {
  QTemporaryDir dir;
  QString Shipped() const { return dir.path() + QStringLiteral("/share/TVRDIC.dic"); }
  QString User() const { return dir.path() + QStringLiteral("/data/talvero/TVRDIC.dic"); }
  void Ship(const QByteArrayList& words) const {
    CDictionary dictionary;
    for (const QByteArray& word : words) dictionary.AddWord(word);
    QDir().mkpath(dir.path() + QStringLiteral("/share"));
    QVERIFY(dictionary.Save(Shipped()));
  }
};

std::unique_ptr<CMySpellEditCtrl> MakeBox(CSharedDictionary& store, const QString& text) {
  auto box = std::make_unique<CMySpellEditCtrl>(nullptr, &store);
  box->resize(400, 200);
  box->show();
  box->setPlainText(text);
  box->SetSpellCheck(true);
  return box;
}

QString MarkedTexts(const CMySpellEditCtrl& box) {
  QStringList out;
  const QString text = box.toPlainText();
  for (const auto& [start, end] : box.MarkedRanges()) out.append(text.mid(start, end - start));
  return out.join(u'|');
}

void PlaceCaret(CMySpellEditCtrl& box, int start, int end = -1) {
  QTextCursor cursor = box.textCursor();
  cursor.setPosition(start);
  if (end >= 0) cursor.setPosition(end, QTextCursor::KeepAnchor);
  box.setTextCursor(cursor);
}

// "text#id" for each entry, "~" after a grayed one, "-" for a separator.
QString Layout(const QMenu& menu) {
  QStringList out;
  for (const QAction* a : menu.actions())
    out.append(a->isSeparator() ? QStringLiteral("-")
                                : a->text() + u'#' + QString::number(a->data().toInt()) + (a->isEnabled() ? "" : "~"));
  return out.join(u' ');
}

QAction* Entry(const QMenu& menu, const QString& text) {
  for (QAction* a : menu.actions())
    if (a->text() == text) return a;
  return nullptr;
}

}  // namespace

class TestSpellEditCtrl : public QObject {
  Q_OBJECT

 private slots:
  void init() { QGuiApplication::clipboard()->setText(QStringLiteral("x")); }

  void marking_data() {
    QTest::addColumn<QByteArrayList>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marks");
    QTest::newRow("unknown words with their punctuation") << QByteArrayList{"hello"} << "hello Helo, world"
                                                          << "Helo,|world";
    QTest::newRow("letter case differences are known") << QByteArrayList{"hello"} << "Hello HELLO hello." << "";
    QTest::newRow("empty words and delimiters only") << QByteArrayList{"hello"} << "--  hello  ...  (helo"
                                                     << "helo";
    QTest::newRow("apostrophe inside a word") << QByteArrayList{"don't"} << "don't dont" << "dont";
    QTest::newRow("question mark") << QByteArrayList{"is", "it"} << "is it?" << "";
    QTest::newRow("every line") << QByteArrayList{"a"} << "a b\nc a" << "b|c";
  }
  void marking() {
    QFETCH(QByteArrayList, stored);
    QFETCH(QString, text);
    CFiles files;
    files.Ship(stored);
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, text);
    QVERIFY(box->IsSpellCheckOn());
    QVERIFY(box->MarkedRanges().isEmpty());  // not before the tick
    box->OnTimer();
    QTEST(MarkedTexts(*box), "marks");
  }

  // The marks are painted by the box: 1 pixel of RGB(200,0,0) under the
  // word and its comma; they survive a repaint, stay with their word while
  // text is typed before it, and the timer renews them.
  void marksArePainted() {
    CFiles files;
    files.Ship({"hello"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("hello Helo, ok"));
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    box->OnTimer();
    QCOMPARE(MarkedTexts(*box), QStringLiteral("Helo,|ok"));

    const QImage image = box->viewport()->grab().toImage();
    QTextCursor at = box->textCursor();
    const auto xOf = [&](int pos) {
      at.setPosition(pos);
      return box->cursorRect(at).left();
    };
    int first = -1, last = -1, rows = 0;
    for (int y = 0; y < image.height(); ++y) {
      bool any = false;
      for (int x = 0; x < xOf(11); ++x) {
        if (image.pixelColor(x, y) != QColor(200, 0, 0)) continue;
        any = true;
        if (first < 0) first = x;
        last = x;
      }
      rows += any;
    }
    QCOMPARE(rows, 1);
    QVERIFY(qAbs(first - xOf(6)) <= 1);
    QVERIFY(qAbs(last + 1 - xOf(11)) <= 1);

    box->viewport()->repaint();
    QCOMPARE(box->viewport()->grab().toImage(), image);

    PlaceCaret(*box, 0);
    box->insertPlainText(QStringLiteral("oh "));
    QCOMPARE(MarkedTexts(*box), QStringLiteral("Helo,|ok"));

    box->setPlainText(QStringLiteral("fine hello"));
    box->SetMarkInterval(10);
    QTRY_COMPARE(MarkedTexts(*box), QStringLiteral("fine"));
  }

  // Freeing the store switches checking off, so neither the tick nor the
  // menu can use it; the last box to let go frees the words.
  void freeingSwitchesOff() {
    CFiles files;
    files.Ship({"hello"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("helo"));
    box->OnTimer();
    QCOMPARE(MarkedTexts(*box), QStringLiteral("helo"));
    box->SetSpellCheck(false);
    QVERIFY(box->MarkedRanges().isEmpty());
    box->SetSpellCheck(true);
    box->FreeDictionary();
    QVERIFY(!box->IsSpellCheckOn());
    QCOMPARE(store.Holders(), 0);
    QVERIFY(store.Dictionary().IsEmpty());
    box->OnTimer();
    QVERIFY(box->MarkedRanges().isEmpty());
    QCOMPARE(Layout(*box->CreateContextMenu()), kEdits);
  }

  void noUsableDictionary_data() {
    QTest::addColumn<QByteArray>("shipped");
    QTest::newRow("no file anywhere") << QByteArray();
    QTest::newRow("file cut short") << QByteArray("\x68\x01\x65", 3);
  }
  void noUsableDictionary() {
    QFETCH(QByteArray, shipped);
    CFiles files;
    if (!shipped.isEmpty()) {
      QDir().mkpath(files.dir.path() + QStringLiteral("/share"));
      QFile file(files.Shipped());
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(shipped);
    }
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("qqqq"));
    QVERIFY(!box->IsSpellCheckOn());
    QCOMPARE(store.Holders(), 0);
    box->OnTimer();
    QVERIFY(box->MarkedRanges().isEmpty());
    QCOMPARE(Layout(*box->CreateContextMenu()), kEdits);
  }

  void menu_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("layout");
    QTest::newRow("suggestions, last on top") << "a cxt" << 3
                                              << "cot#1125 cat#1124 - Add to Dictionary#1127 - " + kEdits;
    QTest::newRow("unknown without suggestions") << "qqqq" << 0 << "Add to Dictionary#1125 - " + kEdits;
    QTest::newRow("known in another case") << "Cat" << 1 << kEdits;
    QTest::newRow("caret at the end takes the last word") << "cat cxt" << 7
                                                          << "cot#1125 cat#1124 - Add to Dictionary#1127 - " + kEdits;
    QTest::newRow("no word at the caret") << "cxt " << 4 << kEdits;
  }
  void menu() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    CFiles files;
    files.Ship({"cat", "cot", "coat"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, text);
    PlaceCaret(*box, caret);
    QTEST(Layout(*box->CreateContextMenu()), "layout");
  }

  void editEntries_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("layout");
    QTest::newRow("empty box, empty clipboard")
        << "" << 0 << 0 << false << "" << "&Undo#199~ - Cu&t#768~ &Copy#769~ &Paste#770~ &Delete#771~ - Select &All#29696~";
    QTest::newRow("typed, part selected")
        << "abc def" << 0 << 3 << false << "x" << "&Undo#199 - Cu&t#768 &Copy#769 &Paste#770 &Delete#771 - Select &All#29696";
    QTest::newRow("read-only, all selected")
        << "abc" << 0 << 3 << true << "x" << "&Undo#199~ - Cu&t#768~ &Copy#769 &Paste#770~ &Delete#771~ - Select &All#29696~";
  }
  void editEntries() {
    QFETCH(QString, typed);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(bool, readOnly);
    QFETCH(QString, clipboard);
    CSharedDictionary none{QString(), QString()};
    CMySpellEditCtrl box(nullptr, &none);
    box.insertPlainText(typed);
    PlaceCaret(box, selStart, selEnd);
    box.setReadOnly(readOnly);
    if (clipboard.isEmpty())
      QGuiApplication::clipboard()->clear();
    else
      QGuiApplication::clipboard()->setText(clipboard);
    QTEST(Layout(*box.CreateContextMenu()), "layout");
  }

  // The press lands on the character under the pointer, also on its right
  // half, where the nearest gap already belongs to the next character.
  void rightClickMovesCaret_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<qreal>("within");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<int>("wantStart");
    QTest::addColumn<int>("wantEnd");
    QTest::newRow("left half") << 6 << 0.25 << 0 << 0 << 6 << 6;
    QTest::newRow("right half of a last letter") << 3 << 0.75 << 0 << 0 << 3 << 3;
    QTest::newRow("selection kept") << 2 << 0.5 << 11 << 15 << 11 << 15;
  }
  void rightClickMovesCaret() {
    QFETCH(int, index);
    QFETCH(qreal, within);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    CSharedDictionary none{QString(), QString()};
    CMySpellEditCtrl box(nullptr, &none);
    box.resize(400, 200);
    box.show();
    box.setPlainText(QStringLiteral("helo world hello"));
    PlaceCaret(box, selStart, selEnd);
    QTextCursor at(box.document());
    at.setPosition(index);
    const QRect left = box.cursorRect(at);
    at.setPosition(index + 1);
    const QPointF point(left.left() + within * (box.cursorRect(at).left() - left.left()), left.center().y());
    QMouseEvent press(QEvent::MouseButtonPress, point, box.viewport()->mapToGlobal(point), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &press);
    QTEST(box.textCursor().selectionStart(), "wantStart");
    QTEST(box.textCursor().selectionEnd(), "wantEnd");
  }

  // A suggestion replaces the word without its punctuation, and only where
  // the word still stands when the menu closes.
  void suggestionReplacesWord() {
    CFiles files;
    files.Ship({"hello", "help"});
    CSharedDictionary store(files.Shipped(), files.User());
    const auto box = MakeBox(store, QStringLiteral("I said helo, ok"));
    PlaceCaret(*box, 8);
    std::unique_ptr<QMenu> menu = box->CreateContextMenu();
    QVERIFY(Entry(*menu, QStringLiteral("hello")));
    Entry(*menu, QStringLiteral("hello"))->trigger();
    QCOMPARE(box->toPlainText(), QStringLiteral("I said hello, ok"));

    box->setPlainText(QStringLiteral("I said helo, ok"));
    PlaceCaret(*box, 8);
    menu = box->CreateContextMenu();
    box->setPlainText(QStringLiteral("I said help, ok"));
    Entry(*menu, QStringLiteral("hello"))->trigger();
    QCOMPARE(box->toPlainText(), QStringLiteral("I said help, ok"));
  }

  // One store for every box: a word added in one box is known in the
  // other at its next tick, saved to the user's copy (the shipped file
  // stays as it was) and known again after the store is reloaded.
  void addedWordIsSharedAndSaved() {
    CFiles files;
    files.Ship({"ok"});
    const QByteArray shipped = ReadAll(files.Shipped());
    CSharedDictionary store(files.Shipped(), files.User());
    const auto first = MakeBox(store, QStringLiteral("(qwzx's,"));
    const auto second = MakeBox(store, QStringLiteral("ok qwzx's"));
    QCOMPARE(store.Holders(), 2);
    second->OnTimer();
    QCOMPARE(MarkedTexts(*second), QStringLiteral("qwzx's"));

    PlaceCaret(*first, 0);
    const std::unique_ptr<QMenu> menu = first->CreateContextMenu();
    QVERIFY(Entry(*menu, QStringLiteral("Add to Dictionary")));
    Entry(*menu, QStringLiteral("Add to Dictionary"))->trigger();
    second->OnTimer();
    first->OnTimer();
    QCOMPARE(MarkedTexts(*second), QString());
    QCOMPARE(MarkedTexts(*first), QString());
    QCOMPARE(ReadAll(files.Shipped()), shipped);

    first->FreeDictionary();
    second->SetSpellCheck(false);
    QCOMPARE(store.Holders(), 0);
    CSharedDictionary reloaded(files.Shipped(), files.User());
    QVERIFY(reloaded.Acquire());
    QCOMPARE(reloaded.Lookup("qwzx's"), CDictionary::Exact);
    QCOMPARE(reloaded.Lookup("ok"), CDictionary::Exact);
  }

  void userFilePath() {
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/tmp/xdg");
    QCOMPARE(CSharedDictionary::UserFilePath(), QStringLiteral("/tmp/xdg/talvero/TVRDIC.dic"));
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(CSharedDictionary::UserFilePath(), QDir::homePath() + "/.local/share/talvero/TVRDIC.dic");
    if (!previous.isEmpty()) qputenv("XDG_DATA_HOME", previous);
  }
};

QTEST_MAIN(TestSpellEditCtrl)
#include "tst_SpellEditCtrl.moc"
