// The archive's windows over a real archive in a temporary folder, with
// real widgets; only the desktop services are the test's. What the search
// window lists and marks, the transcript it opens, the export, forgetting a
// visitor and a visitor's earlier chats.
#include "ArchiveHitDelegate.h"
#include "ArchiveSearchDlg.h"
#include "ArchiveTranscriptDlg.h"
#include "ArchiveWindows.h"
#include "ChatArchive.h"
#include "ChatRichEd.h"
#include "RecordingDesktopServices.h"
#include "TestEnvironment.h"
#include "WindowParts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct SeedChat {
  const char* chatId;
  const char* visitor;
  const char* email;
  const char* address;
  int daysAgo;
  QStringList lines;
};

const SeedChat kSeed[] = {
    {"c1", "Zoe Adams", "zoe@example.com", "10.0.0.1", 30, {"Zoe Adams: I want a refund", "anna: the refund is on its way"}},
    {"c2", "Yuri", "yuri@example.org", "10.0.0.2", 20, {"Yuri: is a refund possible?", "anna: <b>no</b> & no <script>refund</script>"}},
    {"c3", "Visitor 77", "", "10.0.0.1", 10, {"Visitor 77: hello again", "anna: hello, how can I help?"}},
    {"c4", "Zoe Adams", "ZOE@example.com", "10.0.0.9", 2, {"Zoe Adams: where is my refund?", "anna: refunded today"}},
};

// The visitors of the chats listed, top to bottom.
QStringList ListedVisitors(const QListWidget* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text().section(QStringLiteral("  "), 0, 0);
  return names;
}

QWidget* ShownTopLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
  return nullptr;
}

}  // namespace

class TestArchiveWindows : public QObject {
  Q_OBJECT

  CTestSettingsFolder m_settings;
  CRecordingDesktopServices m_desktop;
  std::unique_ptr<QTemporaryDir> m_pDir;
  std::unique_ptr<CChatArchive> m_pArchive;
  std::unique_ptr<CArchiveWindows> m_pWindows;

  CArchiveSearchDlg* OpenSearch() {
    m_pWindows->OpenSearch();
    return m_pWindows->SearchWindow();
  }

  // Types into the search window's words box and waits for the answer to the last key.
  void Type(CArchiveSearchDlg* search, const QString& words) {
    auto* box = WindowParts::Named<QLineEdit>(*search, "words");
    box->clear();
    QTest::keyClicks(box, words);
    Settle(search);
  }
  // Until the answer to the search last asked is shown.
  void Settle(CArchiveSearchDlg* search) {
    bool shown = false;
    const auto c = connect(search, &CArchiveSearchDlg::ResultsShown, this, [&] { shown = true; });
    search->Search();
    QTRY_VERIFY(shown);
    disconnect(c);
  }

 private slots:
  void init() {
    m_desktop.Clear();
    m_pDir = std::make_unique<QTemporaryDir>();
    m_pArchive = std::make_unique<CChatArchive>(m_pDir->filePath("archive.sqlite"), 0);
    for (const SeedChat& seed : kSeed) {
      ArchiveChat chat;
      chat.chatId = seed.chatId;
      chat.visitorName = seed.visitor;
      chat.visitorEmail = seed.email;
      chat.visitorAddress = seed.address;
      chat.operatorName = "anna";
      chat.started = QDateTime::currentDateTime().addDays(-seed.daysAgo);
      const auto handle = m_pArchive->BeginChat(chat);
      QList<ArchiveLine> lines;
      for (const QString& text : seed.lines) {
        ArchiveLine line;
        line.text = text;
        line.at = chat.started;
        line.speaker = text.startsWith("anna:") ? ArchiveLine::Speaker::Own : ArchiveLine::Speaker::Other;
        lines << line;
      }
      m_pArchive->AddLines(handle, lines);
      m_pArchive->EndChat(handle, chat.started.addSecs(60), "closed here");
    }
    m_pArchive->WaitUntilWritten();
    m_pWindows = std::make_unique<CArchiveWindows>(*m_pArchive);
  }
  void cleanup() {
    m_pWindows.reset();
    m_pArchive.reset();
    m_pDir.reset();
  }

  // The chats newest first, the words marked where they stand, and a
  // line's markup shown as text, never read as markup.
  void listsChatsNewestFirstMarked_data() {
    QTest::addColumn<QString>("words");
    QTest::addColumn<QStringList>("visitors");
    QTest::addColumn<QStringList>("richFragments");
    const QString mark = QStringLiteral("<span style=\"background-color:%1; color:#000000\">%2</span>")
                             .arg(CArchiveHitDelegate::kMarkColour.name());
    QTest::newRow("a word, as a prefix while typed")
        << "refun" << QStringList{"Zoe Adams (ZOE@example.com)", "Yuri (yuri@example.org)", "Zoe Adams (zoe@example.com)"}
        << QStringList{"where is my " + mark.arg("refund") + "?", mark.arg("refunded") + " today"};
    QTest::newRow("markup in a line")
        << "script" << QStringList{"Yuri (yuri@example.org)"}
        << QStringList{"anna: &lt;b&gt;no&lt;/b&gt; &amp; no &lt;" + mark.arg("script") + "&gt;refund&lt;/" +
                      mark.arg("script") + "&gt;"};
    QTest::newRow("nothing found") << "parcel" << QStringList{} << QStringList{};
  }
  void listsChatsNewestFirstMarked() {
    QFETCH(QString, words);
    QFETCH(QStringList, visitors);
    QFETCH(QStringList, richFragments);
    CArchiveSearchDlg* search = OpenSearch();
    Type(search, words);
    auto* list = WindowParts::Named<QListWidget>(*search, "results");
    QCOMPARE(ListedVisitors(list), visitors);
    QString rich;
    for (int i = 0; i < list->count(); ++i) rich += list->item(i)->data(CArchiveHitDelegate::kRichTextRole).toString();
    for (const QString& fragment : richFragments) QVERIFY2(rich.contains(fragment), qPrintable(rich));
    QVERIFY(!rich.contains("<b>no</b>") && !rich.contains("<script>"));
  }

  // Each key asks again; what shows at the end answers the last key, not
  // one asked before it.
  void lastSearchWins() {
    CArchiveSearchDlg* search = OpenSearch();
    auto* box = WindowParts::Named<QLineEdit>(*search, "words");
    QTest::keyClicks(box, "hello");
    box->setText("refund");
    box->setText("stock");
    box->setText("hello");
    Settle(search);
    QCOMPARE(ListedVisitors(WindowParts::Named<QListWidget>(*search, "results")), QStringList{"Visitor 77"});
    QCOMPARE(search->Hits().size(), 1);
  }

  // Enter opens the chosen chat whole, its words marked and its match in view.
  void enterOpensTheChosenChat() {
    CArchiveSearchDlg* search = OpenSearch();
    Type(search, "refund");
    auto* list = WindowParts::Named<QListWidget>(*search, "results");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);  // Yuri's chat
    QTest::keyClick(list, Qt::Key_Return);
    QWidget* shown = nullptr;
    QTRY_VERIFY((shown = ShownTopLevel("archiveTranscript")));
    auto* transcript = qobject_cast<CArchiveTranscriptDlg*>(shown);
    QCOMPARE(transcript->Chat().chatId, QString("c2"));
    auto* view = WindowParts::Called<CChatRichEd>(*transcript, "Transcript");
    QTRY_VERIFY(view->toPlainText().contains("Yuri: is a refund possible?"));
    QVERIFY(view->toPlainText().contains("anna: <b>no</b> & no <script>refund</script>"));
    QCOMPARE(view->extraSelections().size(), 2);
    QCOMPARE(view->extraSelections().first().cursor.selectedText(), QString("refund"));
    // Enter again on the same chat brings the one window forward.
    QTest::keyClick(list, Qt::Key_Return);
    QTest::qWait(0);
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      open += w->objectName() == "archiveTranscript" && w->isVisible();
    QCOMPARE(open, 1);
  }

  // Export: plain text or HTML by the name's suffix, and a write that
  // fails said so.
  void exportWritesTheChat() {
    CArchiveSearchDlg* search = OpenSearch();
    Type(search, "script");
    QCOMPARE(search->Hits().size(), 1);
    CArchiveTranscriptDlg* transcript = m_pWindows->OpenTranscript(search->Hits().first().chat);
    auto* exportButton = WindowParts::Button<QPushButton>(*transcript, "Export");
    QTRY_VERIFY(exportButton->isEnabled());
    const QString text = m_pDir->filePath("chat.txt");
    const QString html = m_pDir->filePath("chat.HTML");
    const QString nowhere = m_pDir->filePath("no-such-folder/chat.txt");
    m_desktop.ScriptFileNames({text, html, nowhere});
    for (int i = 0; i < 3; ++i) exportButton->click();

    QFile plain(text);
    QVERIFY(plain.open(QIODevice::ReadOnly));
    const QString plainText = QString::fromUtf8(plain.readAll());
    QVERIFY(plainText.contains("Visitor: Yuri\n"));
    QVERIFY(plainText.contains("] anna: <b>no</b> & no <script>refund</script>\n"));
    QFile page(html);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString pageText = QString::fromUtf8(page.readAll());
    QVERIFY(pageText.contains("anna: &lt;b&gt;no&lt;/b&gt; &amp; no &lt;script&gt;refund&lt;/script&gt;"));
    QVERIFY(pageText.contains(CChatRichEd::kOwnColour.name()));
    QVERIFY(!pageText.contains("<script>"));

    QCOMPARE(m_desktop.messageBoxes.size(), 1);
    QVERIFY(m_desktop.messageBoxes.first().text.contains(nowhere));
    // Proposed in a folder that is there (a dialog given none shows the
    // program's working folder), named for the visitor.
    const QFileInfo proposed(m_desktop.fileDialogs.first().proposedPath);
    QVERIFY2(proposed.dir().exists(), qPrintable(proposed.filePath()));
    QVERIFY(proposed.fileName().startsWith("Yuri "));
  }

  // Forget asks first; yes removes every chat of the visitor (any chat
  // sharing a fact of the chosen one) and the list follows.
  void forgetRemovesTheVisitor() {
    CArchiveSearchDlg* search = OpenSearch();
    Type(search, "refund");
    auto* list = WindowParts::Named<QListWidget>(*search, "results");
    list->setCurrentRow(0);  // Zoe's newest chat
    auto* forget = WindowParts::Button<QPushButton>(*search, "Forget this visitor");
    m_desktop.ScriptAnswers({CDesktopServices::Answer::No});
    forget->click();
    Settle(search);
    QCOMPARE(list->count(), 3);
    m_desktop.ScriptAnswers({CDesktopServices::Answer::Yes});
    forget->click();
    QTRY_COMPARE(ListedVisitors(list), QStringList{"Yuri (yuri@example.org)"});
    QCOMPARE(m_desktop.messageBoxes.size(), 2);
    // By the chosen chat's facts: a chat sharing only an address of her
    // other chat stays.
    Type(search, "hello");
    QCOMPARE(list->count(), 1);
  }

  // A damaged file: the search window and the earlier chats say the
  // archive is not there, rather than that nothing was found.
  void damagedArchiveSaysSo() {
    m_pWindows.reset();
    m_pArchive.reset();
    QFile garbage(m_pDir->filePath("archive.sqlite"));
    QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate) && garbage.write(QByteArray(4096, '\x17')) == 4096);
    garbage.close();
    m_pArchive = std::make_unique<CChatArchive>(garbage.fileName(), 0);
    m_pWindows = std::make_unique<CArchiveWindows>(*m_pArchive);
    CArchiveSearchDlg* search = OpenSearch();
    Type(search, "refund");
    QCOMPARE(WindowParts::Named<QListWidget>(*search, "results")->count(), 0);
    QStringList texts;
    for (QLabel* label : search->findChildren<QLabel*>()) texts << label->text();
    QVERIFY2(texts.contains("The archive is not available."), qPrintable(texts.join(" | ")));
  }

  // A visitor's earlier chats: by e-mail, name or address, without the
  // chat being held; none said as such, and so is an archive turned off.
  void earlierChatsOfThisVisitor_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("by name, e-mail and address")
        << "Zoe Adams" << "zoe@example.com" << "10.0.0.9" << true << QStringList{"Zoe Adams (zoe@example.com)"};
    QTest::newRow("by address") << "Visitor 5" << "" << "10.0.0.1" << true
                                << QStringList{"Visitor 77", "Zoe Adams (zoe@example.com)"};
    QTest::newRow("none") << "Nobody" << "" << "10.9.9.9" << true << QStringList{"No earlier chats of this visitor"};
    QTest::newRow("archive off") << "Zoe Adams" << "" << "" << false << QStringList{"The archive is turned off"};
  }
  void earlierChatsOfThisVisitor() {
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(QString, address);
    QFETCH(bool, on);
    QFETCH(QStringList, items);
    QPushButton button("Earlier chats here");
    button.show();
    m_pWindows->SetOn(on);
    QMenu* menu = nullptr;
    connect(m_pWindows.get(), &CArchiveWindows::EarlierChatsShown, this,
            [&](QWidget* shown) { menu = qobject_cast<QMenu*>(shown); });
    m_pWindows->ShowEarlierChats({name, email, address}, "c4", &button);
    QTRY_VERIFY(menu);
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text().section(QStringLiteral("  "), 1);
    if (!menu->actions().first()->isEnabled()) texts = QStringList{menu->actions().first()->text()};
    QCOMPARE(texts, items);
    if (!menu->actions().first()->isEnabled()) return;
    menu->actions().last()->trigger();
    QWidget* shown = nullptr;
    QTRY_VERIFY((shown = ShownTopLevel("archiveTranscript")));
    QCOMPARE(qobject_cast<CArchiveTranscriptDlg*>(shown)->Chat().chatId, QString("c1"));
  }
};

QTEST_MAIN(TestArchiveWindows)
#include "tst_ArchiveWindows.moc"
