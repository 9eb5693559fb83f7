#include "ConsoleController.h"

#include "Alerts.h"
#include "AwayWatch.h"
#include "ChatCycle.h"
#include "ChatWindows.h"
#include "ConsoleSession.h"
#include "MainDlg.h"
#include "OperatorActions.h"
#include "Presence.h"
#include "VisitorActions.h"
#include "VisitorTableModel.h"

CConsoleController::CConsoleController(CConsoleSession& session)
    : m_session(session),
      m_pChatWindows(new CChatWindows(session.Chats(), CChatList::Kind::Visitor, this)),
      m_pOperChatWindows(new CChatWindows(session.Chats(), CChatList::Kind::Operator, this)),
      m_pWindow(std::make_unique<CMainDlg>(session)) {
  CMainDlg* window = m_pWindow.get();
  m_pVisitorActions = new CVisitorActions(
      session, *m_pChatWindows, [this](const QString& id) { return m_session.Visitors().Find(id); }, window);
  m_pOperatorActions = new COperatorActions(session.Engine(), *m_pOperChatWindows, window);
  window->Attach(*m_pVisitorActions, *m_pOperatorActions);

  m_pAlerts = new CAlerts(session, window);
  connect(m_pAlerts, &CAlerts::AcceptVisitorChat, m_pVisitorActions, &CVisitorActions::AcceptChat);
  connect(m_pAlerts, &CAlerts::AcceptOperatorChat, m_pOperatorActions, &COperatorActions::AcceptChat);
  connect(m_pOperatorActions, &COperatorActions::SoundRung, m_pAlerts, &CAlerts::Ring);
  connect(&session, &CConsoleSession::TransferToAccept, m_pVisitorActions, &CVisitorActions::AcceptTransferred);
  connect(&session, &CConsoleSession::MessagesWaiting, m_pOperatorActions, &COperatorActions::WaitingMessages);

  m_pAway = new CAwayWatch(session.Presence(), window);
  connect(m_pAway, &CAwayWatch::WentAway, window, &CMainDlg::ShowAway);
  connect(m_pAway, &CAwayWatch::CameBack, window, &CMainDlg::ShowBack);

  m_pChatCycle = new CChatCycle(window, session.Chats());
  for (CChatWindows* windows : {m_pChatWindows, m_pOperChatWindows}) {
    m_pAlerts->Watch(*windows);
    m_pChatCycle->Watch(*windows);
  }
}

CConsoleController::~CConsoleController() {
  m_pChatWindows->CloseAll();
  m_pOperChatWindows->CloseAll();
}
