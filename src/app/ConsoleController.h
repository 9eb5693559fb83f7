#pragma once

#include "VisitorActions.h"

#include <QObject>

#include <memory>

class CAlerts;
class CArchiveWindows;
class CAwayWatch;
class CChatArchive;
class CChatTabHosts;
class CChatWindows;
class CConsoleSession;
class CMainDlg;
class COperatorActions;

// The console of a logged-in session put together: its window, the rooms
// that decide and send (the alert room, the commands on visitors and on
// operators, the away watch, the chat cycle) and the hosts of the open
// chats' windows, each wired to the session and to the others here, once;
// and the recorder that keeps the chats in the archive.
// The window renders and forwards the operator's commands; it builds none
// of them.
class CConsoleController : public QObject {
  Q_OBJECT

 public:
  // `archive`: where the session's chats are recorded while the operator
  // keeps the archive on; none, and nothing is recorded.
  explicit CConsoleController(CConsoleSession& session, CChatArchive* archive = nullptr);
  // Closes every chat's window and session first: a console destroyed
  // without a log-out must not leave chats polling on.
  ~CConsoleController() override;

  CMainDlg& Window() const { return *m_pWindow; }
  CAlerts& Alerts() const { return *m_pAlerts; }
  CAwayWatch& AwayWatch() const { return *m_pAway; }
  CChatWindows& ChatWindows() const { return *m_pChatWindows; }
  CChatWindows& OperatorChatWindows() const { return *m_pOperChatWindows; }
  CChatTabHosts& ChatTabs() const { return *m_pTabs; }
  CVisitorActions& VisitorActions() const { return *m_pVisitorActions; }
  COperatorActions& OperatorActions() const { return *m_pOperatorActions; }

 private:
  // An accepted chat gets its session in the list of chats and its window
  // in the host of its kind.
  void OpenVisitorChat(const CVisitorActions::AcceptedChat& accepted);
  void OpenOperatorChat(const QString& chatId, const QString& otherOperator);
  // The recorder of the session's chats, following the preferences; the
  // archive's failure is told once, without holding anything up.
  void RecordChats(CChatArchive& archive);
  // The archive's windows, reached by Ctrl+Shift+F from the console and
  // every chat, by the console's menu, and by a chat's earlier chats.
  void OpenArchiveWindows(CChatArchive& archive);

  CConsoleSession& m_session;
  CChatWindows* m_pChatWindows;
  CChatWindows* m_pOperChatWindows;
  CChatTabHosts* m_pTabs;  // the tabbed windows both kinds of chat share
  std::unique_ptr<CMainDlg> m_pWindow;
  // Owned by the window, as the owner of their boxes and shortcuts.
  CAlerts* m_pAlerts;
  CAwayWatch* m_pAway;
  CVisitorActions* m_pVisitorActions;
  COperatorActions* m_pOperatorActions;
  CArchiveWindows* m_pArchiveWindows = nullptr;
};
