#include "ConsoleController.h"

#include "Alerts.h"
#include "ArchiveWindows.h"
#include "AwayWatch.h"
#include "ChatArchive.h"
#include "ChatCycle.h"
#include "ChatDlg.h"
#include "ChatManager.h"
#include "ChatRecorder.h"
#include "ChatTabHosts.h"
#include "ChatWindows.h"
#include "ConsoleSession.h"
#include "DesktopServices.h"
#include "MainDlg.h"
#include "OperChatDlg.h"
#include "OperatorChatSession.h"
#include "OperatorActions.h"
#include "Preferences.h"
#include "Presence.h"
#include "Shortcuts.h"
#include "VisitorChatSession.h"
#include "VisitorTableModel.h"

CConsoleController::CConsoleController(CConsoleSession& session, CChatArchive* archive)
    : m_session(session),
      m_pChatWindows(new CChatWindows(session.Chats(), CChatList::Kind::Visitor, this)),
      m_pOperChatWindows(new CChatWindows(session.Chats(), CChatList::Kind::Operator, this)),
      m_pWindow(std::make_unique<CMainDlg>(session)) {
  CMainDlg* window = m_pWindow.get();
  m_pVisitorActions = new CVisitorActions(
      session, *m_pChatWindows, [this](const QString& id) { return m_session.Visitors().Find(id); }, window);
  m_pOperatorActions = new COperatorActions(session.Engine(), window);
  window->Attach(*m_pVisitorActions, *m_pOperatorActions);
  connect(m_pVisitorActions, &CVisitorActions::ChatAccepted, this, &CConsoleController::OpenVisitorChat);
  connect(m_pOperatorActions, &COperatorActions::ChatAccepted, this, &CConsoleController::OpenOperatorChat);

  m_pAlerts = new CAlerts(session, window);
  connect(m_pAlerts, &CAlerts::AcceptVisitorChat, m_pVisitorActions, &CVisitorActions::AcceptChat);
  connect(m_pAlerts, &CAlerts::AcceptOperatorChat, m_pOperatorActions, &COperatorActions::AcceptChat);
  connect(m_pOperatorActions, &COperatorActions::SoundRung, m_pAlerts, &CAlerts::Ring);
  connect(&session, &CConsoleSession::TransferToAccept, m_pVisitorActions, &CVisitorActions::AcceptTransferred);
  connect(&session, &CConsoleSession::MessagesWaiting, m_pOperatorActions, &COperatorActions::WaitingMessages);

  m_pAway = new CAwayWatch(session.Presence(), window);
  connect(m_pAway, &CAwayWatch::WentAway, window, &CMainDlg::ShowAway);
  connect(m_pAway, &CAwayWatch::CameBack, window, &CMainDlg::ShowBack);

  // The keys that bring the next chat forward, on every chat window, in
  // the tabs' order where the chats are in tabs.
  auto* chatCycle = new CChatCycle(window, session.Chats());
  m_pTabs = new CChatTabHosts(session.Chats(), this);
  chatCycle->SetOrder([this](const QList<QWidget*>& open) { return m_pTabs->Arrange(open); });
  for (CChatWindows* windows : {m_pChatWindows, m_pOperChatWindows}) {
    windows->SetTabs(m_pTabs);
    m_pAlerts->Watch(*windows);
    chatCycle->Watch(*windows);
  }
  if (archive) {
    RecordChats(*archive);
    OpenArchiveWindows(*archive);
  }
}

void CConsoleController::RecordChats(CChatArchive& archive) {
  CPreferences& preferences = CPreferences::Instance();
  auto* recorder = new CChatRecorder(m_session.Chats(), archive, preferences.ArchiveOn(), this);
  connect(&preferences, &CPreferences::ArchiveOnChanged, recorder, &CChatRecorder::SetOn);
  connect(&preferences, &CPreferences::ArchiveDaysChanged, &archive, &CChatArchive::SetRetentionDays);
  connect(m_pWindow.get(), &CMainDlg::DeleteArchiveRequested, &archive, &CChatArchive::DeleteAll);
  connect(&archive, &CChatArchive::Failed, this, [](const QString& sentence) {
    CDesktopServices::Get().ShowWarning(QStringLiteral("archive"), sentence, QStringLiteral("Talvero"),
                                        CDesktopServices::Icon::Exclamation, {});
  });
}

void CConsoleController::OpenArchiveWindows(CChatArchive& archive) {
  CPreferences& preferences = CPreferences::Instance();
  m_pArchiveWindows = new CArchiveWindows(archive, this);
  m_pArchiveWindows->SetOn(preferences.ArchiveOn());
  connect(&preferences, &CPreferences::ArchiveOnChanged, m_pArchiveWindows, &CArchiveWindows::SetOn);
  CMainDlg* window = m_pWindow.get();
  m_pArchiveWindows->AddSearchKey(window);
  auto* search = new QAction(QStringLiteral("&Search the chat archive..."), window);
  CShortcuts::Instance().Bind(search, QStringLiteral("SearchArchive"));
  connect(search, &QAction::triggered, m_pArchiveWindows, &CArchiveWindows::OpenSearch);
  window->AddWindowCommand(search);
  for (CChatWindows* windows : {m_pChatWindows, m_pOperChatWindows})
    connect(windows, &CChatWindows::Opened, m_pArchiveWindows, &CArchiveWindows::AddSearchKey);
}

CConsoleController::~CConsoleController() {
  m_pChatWindows->CloseAll();
  m_pOperChatWindows->CloseAll();
}

void CConsoleController::OpenVisitorChat(const CVisitorActions::AcceptedChat& accepted) {
  CChatManager& engine = m_session.Engine();
  const QString ip = accepted.visitor.m_line.ip;
  QWidget* window = m_pChatWindows->Open(accepted.chatId, [&]() -> CChatWindowBase* {
    const bool detailsKnown = accepted.visitor.m_bDetailsLoaded;
    auto* session = new CVisitorChatSession(engine, &m_session, ip, accepted.chatId, accepted.visitorName,
                                            accepted.visitorEmail, detailsKnown);
    auto* chat = new CChatDlg(*session);
    if (detailsKnown) chat->SetVisitorDetails(accepted.visitor.Details());
    chat->RefreshOperatorCombo();
    if (m_pArchiveWindows)
      chat->SetEarlierChats([this, chat](QWidget* button) {
        const CVisitorChatSession* visitor = chat->Chat();
        if (!visitor) return;
        m_pArchiveWindows->ShowEarlierChats(
            {visitor->VisitorName(), visitor->VisitorEmail(), visitor->VisitorIp()}, visitor->Id(), button);
      });
    return chat;
  }, accepted.arrival);
  // The visitor's earlier chats open beside the chat, quietly: the page
  // viewer shows them a moment later, and they must neither take the
  // keyboard from the chat window the operator is typing in nor cover it.
  if (accepted.earlierChats)
    engine.OpenServerPage(engine.Catalogue().ChatHistoryPage(ip), false, true,
                          window ? window->window()->frameGeometry() : QRect());
}

void CConsoleController::OpenOperatorChat(const QString& chatId, const QString& otherOperator) {
  CChatManager& engine = m_session.Engine();
  m_pOperChatWindows->Open(chatId, [&]() -> CChatWindowBase* {
    return new COperChatDlg(*new COperatorChatSession(engine, otherOperator, chatId));
  });
}
