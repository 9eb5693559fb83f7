// What a chat's tab shows from the chat's events, and the kept layout
// read back from damaged or foreign text.
#include "ChatTabLayout.h"
#include "ChatTabMarks.h"

#include <QTest>

class TestChatTabMarks : public QObject {
  Q_OBJECT

 private slots:
  void marks_data() {
    QTest::addColumn<QString>("events");  // o: other's line unseen, s: seen, m: mine, t/T: typing on/off, r: read, e/x: ended/transferred
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("spoken");
    const QString w = CChatTabMarks::kWaitingSign + u' ';
    const QString t = u' ' + CChatTabMarks::kTypingSign;
    QTest::newRow("nothing yet") << "" << "Zoe" << "Zoe";
    QTest::newRow("unseen lines wait") << "oo" << w + "Zoe (2)" << "Zoe, waiting for your answer, 2 unread lines";
    QTest::newRow("a line seen still waits") << "s" << w + "Zoe" << "Zoe, waiting for your answer";
    QTest::newRow("read, then answered") << "oorm" << "Zoe" << "Zoe";
    QTest::newRow("answered but unread") << "om" << "Zoe (1)" << "Zoe, 1 unread line";
    QTest::newRow("typing") << "mt" << "Zoe" + t << "Zoe, typing";
    QTest::newRow("typing stops") << "tT" << "Zoe" << "Zoe";
    QTest::newRow("ended: no wait, no typing") << "ote" << "Zoe (1) (ended)" << "Zoe, 1 unread line, chat ended";
    QTest::newRow("transferred") << "x" << "Zoe (to ben)" << "Zoe, transferred to ben";
  }
  void marks() {
    QFETCH(QString, events);
    QFETCH(QString, label);
    QFETCH(QString, spoken);
    CChatTabMarks marks;
    for (const QChar e : events) {
      switch (e.unicode()) {
        case 'o': marks.OtherLine(false); break;
        case 's': marks.OtherLine(true); break;
        case 'm': marks.OwnLine(); break;
        case 't': marks.SetTyping(true); break;
        case 'T': marks.SetTyping(false); break;
        case 'r': marks.Seen(); break;
        case 'e': marks.SetEnded(CChatTabMarks::End::Ended); break;
        case 'x': marks.SetEnded(CChatTabMarks::End::Transferred, "ben"); break;
      }
    }
    QCOMPARE(marks.Label("Zoe"), label);
    QCOMPARE(marks.AccessibleName("Zoe"), spoken);
  }

  void layoutText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");  // the text of what was read
    QTest::newRow("two windows") << "v:1 o:7\nv:3" << "v:1 o:7\nv:3";
    QTest::newRow("blank lines and doubles go") << "\n\nv:1  v:1\n\n" << "v:1";
    QTest::newRow("foreign word: none at all") << "v:1 window=3\nv:2" << "";
    QTest::newRow("cut short") << "v:1 v" << "";
    QTest::newRow("empty") << "" << "";
  }
  void layoutText() {
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    QCOMPARE(CChatTabLayout::FromText(text).Text(), readBack);
  }

  void chatKeysSurviveTheirText() {
    // An id with the separators in it stays one chat of one window.
    CChatTabLayout layout;
    layout.windows = {{CChatTabLayout::ChatKey(false, "a b"), CChatTabLayout::ChatKey(true, "7\n8")},
                      {CChatTabLayout::ChatKey(false, "ü:%")}};
    const CChatTabLayout back = CChatTabLayout::FromText(layout.Text());
    QCOMPARE(back.windows, layout.windows);
    QCOMPARE(back.Find(CChatTabLayout::ChatKey(true, "7\n8")).order, 1);
    QCOMPARE(back.Find(CChatTabLayout::ChatKey(false, "ü:%")).window, 1);
    QCOMPARE(back.Find(CChatTabLayout::ChatKey(true, "a b")).window, -1);  // the kinds differ
  }
};

QTEST_GUILESS_MAIN(TestChatTabMarks)
#include "tst_ChatTabMarks.moc"
