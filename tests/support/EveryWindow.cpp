#include "EveryWindow.h"

#include "TranscriptLine.h"

#include "AboutDlg.h"
#include "ArchiveSearchDlg.h"
#include "ArchiveTranscriptDlg.h"
#include "ChatArchive.h"
#include "ChatDlg.h"
#include "ChatRichEd.h"
#include "ChatTabHost.h"
#include "ConsoleSession.h"
#include "EmotionsDlg.h"
#include "GetFootDlg.h"
#include "LoginDlg.h"
#include "MainDlg.h"
#include "MessageDlg.h"
#include "OperChatDlg.h"
#include "PopUpDlg.h"
#include "RefreshCycle.h"
#include "ReplyBuilders.h"
#include "SessionFixture.h"
#include "SoundsDlg.h"
#include "VisitorDetails.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

VisitorDetails SomeDetails() {
  VisitorDetails d;
  for (size_t i = 0; i < d.fields.size(); ++i) d.fields[i] = QStringLiteral("value %1").arg(i);
  d.fields[VisitorDetails::Url] = QStringLiteral("http://www.example-shop.com/basket");
  d.fields[VisitorDetails::Referrer] = QStringLiteral("http://search.example.org/?q=shoes");
  d.fields[VisitorDetails::VisitorEmail] = QStringLiteral("zoe@example.org");
  d.wellFormed = true;
  return d;
}

// An archived chat with a line of each colour.
ArchiveChat ArchiveOneChat(CChatArchive& archive) {
  ArchiveChat chat;
  chat.chatId = QStringLiteral("c0");
  chat.visitorName = QStringLiteral("Zoe");
  chat.visitorEmail = QStringLiteral("zoe@example.org");
  chat.started = QDateTime::currentDateTime().addDays(-1);
  const CChatArchive::ChatHandle handle = archive.BeginChat(chat);
  QList<ArchiveLine> lines;
  for (const auto& [speaker, text] : {std::pair{ArchiveLine::Speaker::Own, "anna: Hello, how can I help?"},
                                      {ArchiveLine::Speaker::Other, "Zoe: my order www.example-shop.com/o/7 is late"},
                                      {ArchiveLine::Speaker::Notice, "Chat closed"}}) {
    ArchiveLine line;
    line.speaker = speaker;
    line.text = QString::fromLatin1(text);
    line.at = chat.started;
    lines << line;
  }
  archive.AddLines(handle, lines);
  archive.WaitUntilWritten();
  return chat;
}

// A line of each colour a transcript has: own, the other side's, a notice.
void FillTranscript(CChatRichEd* transcript) {
  for (const char* line : {"anna: Hello, how can I help?", "Zoe: my order www.example-shop.com/o/7 is late",
                           "notice: Zoe has joined the chat", "Chat closed"})
    transcript->AppendLine(TranscriptLine::Read(QString::fromLatin1(line), QStringLiteral("anna")));
}

}  // namespace

CEveryWindow::CEveryWindow(CSessionFixture& session) : m_session(session) {
  CMainDlg& console = session.Console();
  const QList<TestVisitor> visitors = {{QStringLiteral("s1"), QStringLiteral("Chat Request")},
                                       {QStringLiteral("s2"), QStringLiteral("In Site"), QStringLiteral("0:02:00"),
                                        QStringLiteral("#FFFF80"), QStringLiteral("Ann")},
                                       {QStringLiteral("s3")}};
  const QString operators = QStringLiteral(
      "ben<subfld>oc7<subfld>op_chat<subfld>Online<fld>cy<subfld><subfld>Initiate<subfld>Offline<fld>"
      "dee<subfld>oc9<subfld>Chatting<subfld>Online<fld>eve<subfld><subfld><subfld>Busy<fld>"
      "fay<subfld><subfld><subfld>Online");
  m_operatorsReply = RefreshReplyText(visitors, QStringLiteral("3"), QString(), operators);
  console.Session().Refresh().Apply(m_operatorsReply);

  // Each chat's session lives as long as its window, as a child of it.
  auto* chat = new CVisitorChatSession(session.Engine(), &console.Session(), QStringLiteral("10.0.0.9"),
                                       QStringLiteral("c1"), QStringLiteral("Zoe"), QString(), true);
  m_pChat = new CChatDlg(*chat);
  chat->setParent(m_pChat);
  m_pChat->SetVisitorDetails(SomeDetails());
  FillTranscript(m_pChat->Transcript());
  auto* operatorSession = new COperatorChatSession(session.Engine(), QStringLiteral("ben"), QStringLiteral("oc1"));
  auto* operatorChat = new COperChatDlg(*operatorSession);
  operatorSession->setParent(operatorChat);
  FillTranscript(operatorChat->Transcript());

  // The two kinds of chat again, as tabs of one window.
  auto* tabs = new CChatTabHost;
  auto* tabbedSession = new CVisitorChatSession(session.Engine(), &console.Session(), QStringLiteral("10.0.0.8"),
                                                QStringLiteral("c2"), QStringLiteral("Yuri"), QString(), true);
  auto* tabbedChat = new CChatDlg(*tabbedSession);
  tabbedSession->setParent(tabbedChat);
  tabbedChat->SetVisitorDetails(SomeDetails());
  FillTranscript(tabbedChat->Transcript());
  auto* tabbedOperatorSession = new COperatorChatSession(session.Engine(), QStringLiteral("dee"), QStringLiteral("oc2"));
  auto* tabbedOperatorChat = new COperChatDlg(*tabbedOperatorSession);
  tabbedOperatorSession->setParent(tabbedOperatorChat);
  tabs->Add(tabbedChat);
  tabs->Add(tabbedOperatorChat);

  m_windows.emplace_back(m_pChat);
  m_windows.emplace_back(operatorChat);
  m_windows.emplace_back(tabs);
  m_windows.emplace_back(new CLoginDlg(session.Engine(), [] {}));
  m_windows.emplace_back(new CSoundsDlg());
  auto* shortcuts = new CSoundsDlg();  // its second page
  shortcuts->findChild<QTabWidget*>()->setCurrentIndex(1);
  m_windows.emplace_back(shortcuts);
  m_windows.emplace_back(new CAboutDlg());
  m_windows.emplace_back(new CMessageDlg(QStringLiteral("ben: hello")));
  m_windows.emplace_back(new CPopUpDlg(QStringLiteral("Zoe asks for a chat"), false, [] {}));
  m_windows.emplace_back(new CGetFootDlg());
  m_windows.emplace_back(new CEmotionsDlg(nullptr, m_pChat->EntryBox()));
  m_pArchiveDir = std::make_unique<QTemporaryDir>();
  m_pArchive = std::make_unique<CChatArchive>(m_pArchiveDir->filePath(QStringLiteral("archive.sqlite")), 0);
  ArchiveChat archived = ArchiveOneChat(*m_pArchive);
  auto* search = new CArchiveSearchDlg(*m_pArchive);
  m_windows.emplace_back(search);
  // The chat as the search found it, with its own number.
  QTest::qWaitFor([search] { return !search->Hits().isEmpty(); }, 5000);
  if (!search->Hits().isEmpty()) archived = search->Hits().first().chat;
  auto* transcript = new CArchiveTranscriptDlg(*m_pArchive, archived, QStringLiteral("order"), 0);
  m_windows.emplace_back(transcript);
  QTest::qWaitFor([transcript] { return !transcript->findChild<CChatRichEd*>()->toPlainText().isEmpty(); }, 5000);
  for (const auto& w : m_windows) {
    w->setAttribute(Qt::WA_DeleteOnClose, false);  // owned here, whatever the window does on closing
    w->show();
  }
}

CEveryWindow::~CEveryWindow() = default;

void CEveryWindow::ForEach(const std::function<void(QWidget*, const QString&)>& visit) {
  CMainDlg& console = m_session.Console();
  const std::pair<CMainDlg::ViewMode, const char*> views[] = {{CMainDlg::ViewMode::AllVisitors, "All Visitors"},
                                                              {CMainDlg::ViewMode::ChatsOnly, "Chats Only"},
                                                              {CMainDlg::ViewMode::Operators, "Operators"}};
  for (const auto& [view, name] : views) {
    console.SwitchView(view);
    console.Session().Refresh().Apply(m_operatorsReply);  // a switch empties the table until the next refresh
    visit(&console, QStringLiteral("Console/") + QLatin1String(name));
  }
  for (const auto& w : m_windows) visit(w.get(), QLatin1String(w->metaObject()->className()));
}
