// The transcript, the emoticon scan, the link finder and the picker, on
// real widgets.
#include "TranscriptLine.h"
#include "ChatRichEd.h"
#include "Emoticons.h"
#include "EmotionsDlg.h"
#include "LinkDetector.h"
#include "LinkOpener.h"
#include "MySpellEditCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

using Pieces = QList<EmoticonPiece>;
using Links = QList<TextLink>;

// A line as a chat of the operator "anna" reads it.
static void Append(CChatRichEd& t, const QString& text) { t.AppendLine(TranscriptLine::Read(text, QStringLiteral("anna"))); }

class TestTranscript : public QObject {
  Q_OBJECT

  QList<QUrl> m_opened;

  // Clicks into the transcript's last line (the empty block after the
  // last line break does not count).
  static void ClickLink(CChatRichEd& t, int offsetInLine) {
    QTextCursor c(t.document()->lastBlock().previous());
    c.setPosition(c.block().position() + offsetInLine);
    const QPoint at = t.cursorRect(c).center() + QPoint(2, 0);
    QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, at);
  }

 private slots:
  void initTestCase() {
    CLinkOpener::SetOpener([this](const QUrl& url) {
      m_opened.append(url);
      return true;
    });
  }

  void scan_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<Pieces>("pieces");
    QTest::newRow("two codes") << "Hi [:)] there [:D]"
                               << Pieces{{"Hi "}, {"[:)]", 250}, {" there "}, {"[:D]", 277}};
    QTest::newRow("the longer code") << "[:((]" << Pieces{{"[:((]", 282}};
    QTest::newRow("wrong case ends the scan") << "[:d] [:)]" << Pieces{{"[:d] [:)]"}};
    QTest::newRow("a bracketed word first") << "see [note] [:)]" << Pieces{{"see [note] [:)]"}};
    QTest::newRow("only a code") << "[X(]" << Pieces{{"[X(]", 290}};
    QTest::newRow("an unclosed code at the end") << "bye [:" << Pieces{{"bye [:"}};
    QTest::newRow("empty") << "" << Pieces{};
  }
  void scan() {
    QFETCH(QString, line);
    QFETCH(Pieces, pieces);
    QCOMPARE(ScanEmoticons(line), pieces);
  }

  void links_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Links>("links");
    QTest::newRow("web address in a sentence") << "see http://a.example/x?y=1." << Links{{4, 22}};
    QTest::newRow("www and mail") << "www.shop.example or mailto:ann@x.example" << Links{{0, 16}, {20, 20}};
    QTest::newRow("in brackets") << "(https://a.example/b)" << Links{{1, 19}};
    QTest::newRow("other schemes are no links") << "file:///etc/passwd javascript:alert(1)" << Links{};
    QTest::newRow("inside a word, or only the scheme") << "xwww.a.b http://" << Links{};
    QTest::newRow("any case; a word's address hides only itself") << "xhttp://a WWW.B" << Links{{10, 5}};
    QTest::newRow("control characters are no scheme marks") << QStringLiteral("mailto\x1ax http\x1a\x0f\x0fa") << Links{};
  }
  void links() {
    QFETCH(QString, text);
    QFETCH(Links, links);
    QCOMPARE(FindLinks(text), links);
  }

  // Who a line is from is read once, where it arrives; the transcript
  // colours it by that.
  void lineSpeakersAndColours_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("otherSide");
    QTest::newRow("own line") << "ANNA: hello" << CChatRichEd::kOwnColour << false;
    QTest::newRow("a visitor named like the operator") << "Annabel: hi" << CChatRichEd::kOtherColour << true;
    QTest::newRow("visitor") << "Zoe: hi" << CChatRichEd::kOtherColour << true;
    QTest::newRow("no colon") << "Chat closed" << CChatRichEd::kNoticeColour << false;
    QTest::newRow("notice in any case") << "NOTICE: transfer" << CChatRichEd::kNoticeColour << false;
  }
  void lineSpeakersAndColours() {
    QFETCH(QString, line);
    QFETCH(QColor, colour);
    QFETCH(bool, otherSide);
    CChatRichEd t;
    const TranscriptLine read = TranscriptLine::Read(line, "anna");
    t.AppendLine(read);
    QTextCursor c(t.document());
    c.setPosition(1);
    QCOMPARE(c.charFormat().foreground().color(), colour);
    QCOMPARE(read.speaker == TranscriptLine::Speaker::Other, otherSide);
  }

  void outsideTextIsPlainAndGoesToTheEnd() {
    CChatRichEd t;
    Append(t, "notice:now user has join the chat\r\n");
    Append(t, "Zoe: <b>x</b> &amp; [:)]\r\n");
    // The operator selects the first line; the next line still goes last.
    QTextCursor selection(t.document());
    selection.setPosition(3, QTextCursor::KeepAnchor);
    t.setTextCursor(selection);
    Append(t, "Zoe: more");
    QCOMPARE(t.textCursor().selectedText(), QString("not"));
    QCOMPARE(t.toPlainText(), QString("notice:now user has join the chat\nZoe: <b>x</b> &amp; \uFFFC\nZoe: more\n"));
    // Copy gives each picture as its code.
    t.selectAll();
    t.copy();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied->text().endsWith("Zoe: <b>x</b> &amp; [:)]\nZoe: more\n"));
    QVERIFY(copied->html().contains("data:image/png;base64,"));
    // A lone carriage return breaks the line too, and a raw object
    // replacement character cannot pass for a picture.
    Append(t, QStringLiteral("Zoe: a\rb\uFFFCc\r\n"));
    QVERIFY(t.toPlainText().endsWith(QStringLiteral("Zoe: more\nZoe: a\nb\uFFFDc\n")));
  }

  // A line mixing text, pictures and links: each piece carries its own
  // format, and the text after a link is no part of it.
  void eachPieceOfALineKeepsItsFormat() {
    CChatRichEd t;
    Append(t, "Zoe: [:)] see http://a.example/x, then [:D] www.b.example\r\n");
    QStringList pieces;
    for (auto it = t.document()->firstBlock().begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QTextCharFormat format = f.charFormat();
      pieces.append(format.isImageFormat()  ? "picture " + format.property(CChatRichEd::kCodeProperty).toString()
                    : format.isAnchor() ? "link " + f.text()
                                        : f.text());
      if (!format.isImageFormat()) QCOMPARE(format.foreground().color(), CChatRichEd::kOtherColour);
    }
    QCOMPARE(pieces, (QStringList{"Zoe: ", "picture [:)]", " see ", "link http://a.example/x", ", then ", "picture [:D]",
                                  " ", "link www.b.example"}));
  }

  void pushedAddresses_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("pushed, own case") << "ann: push-http://Shop.example/A" << "ann:http://Shop.example/A";
    QTest::newRow("marker elsewhere") << "ann: see push-http://x" << "ann: see push-http://x";
    QTest::newRow("short after the colon") << "ann: push-h" << "ann: push-h";
    QTest::newRow("no colon") << "push-http://x" << "push-http://x";
  }
  void pushedAddresses() {
    QFETCH(QString, line);
    QFETCH(QString, shown);
    CChatRichEd t;
    Append(t, line);
    QCOMPARE(t.toPlainText(), shown + "\n");
  }

  void theSizeBound_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("at the bound nothing goes") << 125000 << 125000 + 3;
    QTest::newRow("one past it the oldest 50,000 go") << 125001 << 125001 + 3 - 50000;
  }
  void theSizeBound() {
    QFETCH(int, before);
    QFETCH(int, after);
    CChatRichEd t;
    // Pictures count one character each, line breaks one.
    Append(t, QString(before - 2, u'a') + "[:)]");
    QCOMPARE(t.TextLength(), before);
    Append(t, "zz");
    QCOMPARE(t.TextLength(), after);
    QVERIFY(t.toPlainText().endsWith("\uFFFC\nzz\n"));
  }

  // The transcript keeps its size beside the desktop's font, at 9 and at 16 points.
  void theTextFollowsTheDesktopFontSize() {
    CChatRichEd t;
    for (const qreal points : {9.0, 16.0}) {
      QFont font = t.font();
      font.setPointSizeF(points);
      t.setFont(font);
      QCOMPARE(t.document()->defaultFont().pointSizeF(), points * 10 / 9);
    }
  }

  void theOperatorReadingOlderLinesStaysThere() {
    CChatRichEd t;
    t.resize(300, 120);
    t.show();
    for (int i = 0; i < 60; ++i) Append(t, QString("Zoe: line %1").arg(i));
    QScrollBar* bar = t.verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
    t.resize(300, 200);  // a resize keeps the newest line in view
    QTRY_COMPARE(bar->value(), bar->maximum());
    bar->setValue(bar->maximum() / 2);
    const int reading = bar->value();
    Append(t, "Zoe: new");
    QCOMPARE(bar->value(), reading);
    bar->setValue(bar->maximum());
    Append(t, "Zoe: newer");
    QTRY_COMPARE(bar->value(), bar->maximum());
  }

  void clickingALinkOpensOnlyAllowedTargets() {
    CChatRichEd t;
    t.resize(400, 200);
    t.show();
    m_opened.clear();
    Append(t, "Zoe: www.shop.example/a\r\n");
    ClickLink(t, 8);
    QCOMPARE(m_opened, QList<QUrl>{QUrl("http://www.shop.example/a")});
    Append(t, "Zoe: file:///etc/passwd\r\n");
    ClickLink(t, 8);
    QCOMPARE(m_opened, QList<QUrl>{QUrl("http://www.shop.example/a")});
  }

  // However the picker closes, the keyboard is back in the entry box with
  // the caret after what was inserted, and one Ctrl+Z takes a code back.
  void thePickerPutsACodeAtTheCaret_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::newRow("a code") << "Cool" << "a[B-)]b" << 6;
    QTest::newRow("Close") << "Close" << "ab" << 1;
  }
  void thePickerPutsACodeAtTheCaret() {
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QWidget chat;
    chat.resize(400, 300);
    auto* entry = new CMySpellEditCtrl(&chat);
    entry->setPlainText("ab");
    auto* emoticons = new QPushButton("Emoticons", &chat);
    emoticons->setGeometry(200, 200, 80, 24);
    chat.show();
    QTextCursor cursor = entry->textCursor();
    cursor.setPosition(1);
    entry->setTextCursor(cursor);
    emoticons->setFocus();  // the click that opened the picker left it there
    QPointer<CEmotionsDlg> picker = CEmotionsDlg::Open(emoticons, entry);
    QVERIFY(picker->isVisible());
    QPushButton* pressed = nullptr;
    for (QPushButton* b : picker->findChildren<QPushButton*>())
      if (b->accessibleName() == button || b->text() == button) pressed = b;
    QVERIFY(pressed);
    pressed->click();
    QCOMPARE(entry->toPlainText(), text);
    QTRY_VERIFY(picker.isNull());  // closed and gone
    QCOMPARE(chat.focusWidget(), entry);
    QCOMPARE(entry->textCursor().position(), caret);
    QTest::keyClick(entry, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(entry->toPlainText(), QString("ab"));
  }

  void pickerPlace_data() {
    QTest::addColumn<QRect>("button");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("above the button") << QRect(500, 600, 80, 24) << QPoint(470, 488);
    QTest::newRow("top edge") << QRect(500, 50, 80, 24) << QPoint(470, 0);
    QTest::newRow("left edge") << QRect(10, 600, 80, 24) << QPoint(0, 488);
  }
  void pickerPlace() {
    QFETCH(QRect, button);
    QFETCH(QPoint, place);
    QCOMPARE(CEmotionsDlg::PlaceFor(button, QSize(142, 109), QRect(0, 0, 1280, 800)), place);
  }
};

QTEST_MAIN(TestTranscript)
#include "tst_Transcript.moc"
