#pragma once

#include "ConsoleSession.h"
#include "OperatorActions.h"
#include "VisitorActions.h"

#include <QDialog>
#include <QPointer>
#include <QRect>

class CAlerts;
class CChatWindows;
class CGetFootDlg;
class COperatorActions;
class CVisitorDtlsDlg;
class CVisitorActions;
class CVisitorInfo;
class FooButton;
class QComboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QAction;
class QMenu;
class QRadioButton;
class QTableView;

// The operator console: the main window of a logged-in session. It keeps
// its widgets and the commands' slots, and renders the session's models;
// the session decides what a refresh means, the alert room what the
// operator hears and sees, the action rooms send the commands.
class CMainDlg : public QDialog {
  Q_OBJECT

 public:
  using ViewMode = CConsoleSession::View;

  // The name under which the console's place is remembered.
  static const QString kPlacementName;
  // Where the details or the foot prints of the selected visitor show, at
  // the first size of the window.
  static constexpr QRect kInfoPanel{0, 345, 800, 200};

  explicit CMainDlg(CConsoleSession& session, QWidget* parent = nullptr);
  ~CMainDlg() override;

  // Sets the window up and starts the session (the operator announced
  // online, the refresh timer); then DoModal runs it until the session ends.
  bool OnInitDialog();
  int DoModal();

  void SwitchView(ViewMode mode);
  // Asks about the open chats, then ends the session; forgetting also
  // deletes the remembered login.
  void LogOut(bool bForgetLogin);

  // The session, the rooms and what the window shows, for its owner and for tests.
  CConsoleSession& Session() const { return m_session; }
  CChatWindows& ChatWindows() const { return *m_pChatWindows; }
  CChatWindows& OperatorChatWindows() const { return *m_pOperChatWindows; }
  const QList<CSiteVisitor>& Visitors() const;
  CVisitorActions& VisitorActions() const { return *m_pVisitorActions; }
  COperatorActions& OperatorActions() const { return *m_pOperatorActions; }
  CAlerts& Alerts() const { return *m_pAlerts; }
  QMenu* TrayMenu() const { return m_pTrayMenu; }
  // The buttons under the table; in the Operators view Accept, Busy and
  // Invite carry the operator commands Accept Chat, Deny and Request Chat.
  FooButton* AcceptButton() const { return m_visitorButtons[2]; }
  FooButton* BusyButton() const { return m_visitorButtons[3]; }
  FooButton* InviteButton() const { return m_visitorButtons[4]; }
  FooButton* DeleteButton() const { return m_visitorButtons[5]; }
  FooButton* JoinButton() const { return m_visitorButtons[6]; }
  FooButton* BlockIpButton() const { return m_visitorButtons[7]; }
  FooButton* SendPopButton() const { return m_pSendPop; }
  FooButton* SendMessageButton() const { return m_pSendMessage; }
  FooButton* OperatorLogOutButton() const { return m_pOperatorLogOut; }
  QLineEdit* PopUrlEdit() const { return m_pPopUrl; }
  QLineEdit* MessageEdit() const { return m_pMessage; }
  // The right-click menu last shown, for tests; nullptr once it closed.
  QMenu* ContextMenu() const;
  ViewMode Mode() const { return m_session.CurrentView(); }
  QTableView* Table() const { return m_pTable; }
  CVisitorInfo& VisitorInfo() const { return *m_pVisitorInfo; }
  CVisitorDtlsDlg* DetailsPanel() const { return m_pDetails; }
  // nullptr until foot prints are first asked for.
  CGetFootDlg* FootPrintsPanel() const { return m_pFootPrints; }
  FooButton* ViewDetailsButton() const { return m_visitorButtons[0]; }
  FooButton* FootPrintsButton() const { return m_visitorButtons[1]; }
  QLabel* StatusLine() const { return m_pStatusLine; }
  QComboBox* OperatorsBox() const { return m_pOperatorsBox; }
  QRadioButton* OnlineRadio() const { return m_pOnline; }
  QRadioButton* OfflineRadio() const { return m_pOffline; }
  FooButton* LogOutButton() const { return m_pLogOut; }
  QList<FooButton*> BottomButtons() const { return m_bottomButtons; }
  QList<FooButton*> TabButtons() const { return {m_pTabAll, m_pTabChats, m_pTabOperators}; }
  int SelectedRow() const;

 public slots:
  void OnOnline();
  void OnOffline();
  void OnLogOutButton();
  // The selected visitor in the panel below the table: a click on the
  // list, a right-click on a row, the View Details and Foot Prints buttons.
  void OnListClick();
  void OnListRightClick();
  void OnViewDetails();
  void OnFootPrints();
  // The commands of the buttons under the table, by view.
  void OnAccept();
  void OnJoin();
  void OnBusy();
  void OnInvite();
  void OnDelete();
  void OnBlockIp();
  void OnSendPop();
  void OnSendMessage();
  void OnViewMessage();
  void OnControlPanel();
  void OnTranscripts();
  void OnOperatorLogOut();
  void OnPreferences();
  // The tray and the window's own menu.
  void RestoreConsole();
  void ToggleAlwaysOnTop();

 protected:
  void accept() override;  // Enter never closes the console
  void reject() override;  // closing the window logs out, keeping the remembered login
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // How a control follows the window's growth beyond its first size.
  enum Anchor { Fixed = 0, MoveX = 1, MoveY = 2, GrowWidth = 4, GrowHeight = 8 };
  struct Placed {
    QWidget* widget;
    QRect base;
    int anchor;
  };

  void BuildWindow();
  FooButton* AddButton(const QString& text, const QRect& where, int anchor);
  void Place(QWidget* widget, const QRect& where, int anchor);
  QRect Anchored(const Placed& placed) const;
  void LayOutBottomButtons();
  void InsertVisitorColumns();
  void UpdateTabButtons();
  void RememberSelection();
  void OnRefreshed(const RefreshReply& reply);
  void RestoreSelection();
  void OnSessionEnded(bool bToldByServer);
  // The selected visitor's row and record, or -1 and nullptr (always so in
  // the Operators view).
  int SelectedVisitor(const CSiteVisitor** visitor = nullptr) const;
  void UpdateVisitorButtons();
  void UpdateOperatorButtons();
  // Whatever follows a click follows any change of the current row (a key,
  // a refresh, a view switch): the buttons, and the panel, which shows the
  // selected visitor and is cleared when no visitor is selected.
  void FollowSelectionModel();
  void OnSelectionChanged();
  void FollowSelection();
  void ShowSelectedInPanel();
  // The keys of the table: Enter accepts a chat request; the menu key and
  // Shift+F10 open the row's menu under the row.
  bool OnTableKey(QKeyEvent* event);
  void ShowRowMenuFromKeyboard();
  using VisitorCommand = CVisitorActions::Command;
  bool Allows(VisitorCommand command, const CSiteVisitor& row) const;
  void RunVisitorCommand(VisitorCommand command, const CSiteVisitor& row);
  void RunOnSelectedVisitor(VisitorCommand command);
  using OperatorCommand = COperatorActions::Command;
  bool Allows(OperatorCommand command, const OperatorEntry& entry) const;
  // The selected operator's entry, or nullptr (always so in the visitor views).
  const OperatorEntry* SelectedOperator() const;
  void ShowVisitorMenu(const QPoint& at);
  void ShowOperatorMenu(const QPoint& at);
  void SetTrayIcon(bool bShow);
  QAction* AlwaysOnTopAction(QMenu* menu);
  void ShowSelectedDetails();
  void RequestFootPrints(int row, const CSiteVisitor& visitor);
  void OnDetailsArrived(const QString& sessionId, const VisitorDetails& details);
  void OnFootPrintsArrived(const QString& sessionId, const QString& reply);

  CConsoleSession& m_session;
  CChatManager& m_engine;
  // Set by View Details: every display of details asks the service afresh;
  // cleared by a click on the list that selects nothing.
  bool m_bAlwaysRefetchDetails = false;
  bool m_bApplyingRefresh = false;
  QString m_strPanelVisitor;     // session id of the visitor the panel shows, empty for none
  QString m_strSelectedAtPress;  // the selection when the mouse went down on the table
  // The selection as a refresh arrives: the visitor's row and id, or the operator's name.
  int m_nRowBefore = -1;
  QString m_strSelectedBefore;

  CChatWindows* m_pChatWindows;
  CChatWindows* m_pOperChatWindows;
  CAlerts* m_pAlerts;
  CVisitorInfo* m_pVisitorInfo;
  CVisitorActions* m_pVisitorActions;
  COperatorActions* m_pOperatorActions;
  QPointer<QMenu> m_pMenu;
  QMenu* m_pTrayMenu = nullptr;

  QList<Placed> m_placed;
  QSize m_baseSize;
  QLabel* m_pSiteUrl;
  QLabel* m_pSession;
  QLabel* m_pPadlock;
  QRadioButton* m_pOnline;
  QRadioButton* m_pOffline;
  FooButton* m_pTabAll;
  FooButton* m_pTabChats;
  FooButton* m_pTabOperators;
  QTableView* m_pTable;
  QList<FooButton*> m_visitorButtons;
  QLineEdit* m_pPopUrl;
  QCheckBox* m_pSameWindow;
  FooButton* m_pSendPop;
  CVisitorDtlsDlg* m_pDetails;
  CGetFootDlg* m_pFootPrints = nullptr;
  QComboBox* m_pOperatorsBox;
  QLineEdit* m_pMessage;
  FooButton* m_pSendMessage;
  QList<FooButton*> m_bottomButtons;
  FooButton* m_pControlPanel;
  FooButton* m_pLogOut;
  FooButton* m_pOperatorLogOut;
  QLabel* m_pStatusLine;
};
