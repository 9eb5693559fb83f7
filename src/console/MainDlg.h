#pragma once

#include "ConsoleLayout.h"
#include "ConsoleSession.h"
#include "OperatorActions.h"
#include "VisitorActions.h"

#include <QAction>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QRect>

class CConsoleTable;
class CConsoleTray;
class CGetFootDlg;
class COperatorActions;
class CVisitorDtlsDlg;
class CVisitorActions;
class CVisitorInfo;
class CVisitorPanel;
class FooButton;
class QComboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
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

  explicit CMainDlg(CConsoleSession& session, QWidget* parent = nullptr);
  ~CMainDlg() override;

  // Sets the window up and starts the session (the operator announced
  // online, the refresh timer); then DoModal runs it until the session ends.
  bool OnInitDialog();
  int DoModal();

  // The operator's choice of view; the window follows the session's.
  void SwitchView(ViewMode mode);
  // Asks about the open chats, then ends the session; forgetting also
  // deletes the remembered login.
  void LogOut(bool bForgetLogin);

  // The rooms that send the operator's commands, built by the window's
  // owner with the window as the owner of their boxes; given before the
  // window is shown.
  void Attach(CVisitorActions& visitorActions, COperatorActions& operatorActions);

  CConsoleSession& Session() const { return m_session; }
  ViewMode Mode() const { return m_session.CurrentView(); }
  CVisitorInfo& VisitorInfo() const { return *m_pVisitorInfo; }
  // A command of the window's own menu (its context menu), below
  // "Always on top"; the action stays the caller's.
  void AddWindowCommand(QAction* action) { m_windowCommands.append(action); }

 signals:
  // The operator chose, and confirmed, to delete every archived chat.
  void DeleteArchiveRequested();

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
  // The console went Offline for an absence: said on the status line
  // until the operator is back.
  void ShowAway(int minutes);
  void ShowBack();

 protected:
  void accept() override;  // Enter never closes the console
  void reject() override;  // closing the window logs out, keeping the remembered login
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnRefreshed(const RefreshReply& reply);
  void OnSessionEnded(bool bToldByServer);
  // "Always on top", changed on the window the console has.
  void KeepOnTop(bool bOn);
  // Hidden in a tray that has gone since: minimised into the task bar.
  void KeepWithinReach();
  int SelectedVisitor(const CSiteVisitor** visitor = nullptr) const;
  const OperatorEntry* SelectedOperator() const;
  void UpdateVisitorButtons();
  void UpdateOperatorButtons();
  // Whatever follows a click follows any change of the current row (a key,
  // a refresh, a view switch): the buttons, and the panel, which shows the
  // selected visitor and is cleared when no visitor is selected.
  void FollowSelection();
  void FollowView(ViewMode mode);
  // Enter accepts a chat request; the menu key and Shift+F10 open the
  // row's menu under the row.
  void OnEnter();
  void ShowRowMenuFromKeyboard();
  using VisitorCommand = CVisitorActions::Command;
  bool Allows(VisitorCommand command, const CSiteVisitor& row) const;
  void RunVisitorCommand(VisitorCommand command, const CSiteVisitor& row);
  void RunOnSelectedVisitor(VisitorCommand command);
  using OperatorCommand = COperatorActions::Command;
  bool Allows(OperatorCommand command, const OperatorEntry& entry) const;
  void ShowVisitorMenu(const QPoint& at);
  void ShowOperatorMenu(const QPoint& at);

  CConsoleSession& m_session;
  CChatManager& m_engine;

  CVisitorInfo* m_pVisitorInfo;
  CVisitorActions* m_pVisitorActions = nullptr;
  COperatorActions* m_pOperatorActions = nullptr;
  CConsoleTray* m_pTray;
  QString m_strAwayNote;  // on the status line while the console went Offline for an absence
  QRect m_trayPlace;  // the console's place while it is hidden in the tray

  CConsoleLayout m_ui;
  CConsoleTable* m_pTable;
  CVisitorPanel* m_pPanel;
  QList<QPointer<QAction>> m_windowCommands;
};
