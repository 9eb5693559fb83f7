#pragma once

#include "OperatorEntry.h"
#include "RefreshReply.h"
#include "SiteVisitor.h"
#include "VisitorDetails.h"

#include <QDialog>
#include <QHash>
#include <QRect>
#include <QStringList>

class CAlerts;
class CChatManager;
class CChatWindows;
class COperatorList;
class CRefreshCycle;
class CVisitorTableModel;
class FooButton;
class QComboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableView;

// The operator console: the main window of a logged-in session. The window
// keeps its widgets and the commands' slots; the work lives in its rooms:
// the refresh cycle, the operator list, the open chat windows and the
// alerts. It shows what the refresh brings, keeps the operator's presence,
// and ends the session at log-out or when the service says so.
class CMainDlg : public QDialog {
  Q_OBJECT

 public:
  enum class ViewMode { AllVisitors, ChatsOnly, Operators };

  // The name under which the console's place is remembered.
  static const QString kPlacementName;

  explicit CMainDlg(CChatManager& engine, QWidget* parent = nullptr);
  ~CMainDlg() override;

  // Sets the window up (announces the operator online, starts the refresh
  // timer); then DoModal runs it until the session ends.
  bool OnInitDialog();
  int DoModal();

  // The replies of the console's own requests, by request type.
  void HandleServerReply(int nType, const QString& strReply);
  void RefreshVisitors();
  // Applies one refresh reply to the table, the status line, the operators
  // box and the sounds.
  void ApplyRefreshReply(const QString& reply);
  void AnnounceOnline();
  void HandleSoundName(const QString& name);
  void SwitchView(ViewMode mode);
  // Ends the session; forgetting also deletes the remembered login.
  void LogOut(bool bForgetLogin);
  void CacheDetails(const VisitorDetails& details, const QString& sessionId);

  // The rooms and what the window shows, for its owner and for tests.
  CRefreshCycle& Refresh() const { return *m_pRefresh; }
  COperatorList& Operators() const { return *m_pOperators; }
  CChatWindows& ChatWindows() const { return *m_pChatWindows; }
  CChatWindows& OperatorChatWindows() const { return *m_pOperChatWindows; }
  const QList<CSiteVisitor>& Visitors() const;
  QStringList OperatorTexts() const;
  ViewMode Mode() const { return m_mode; }
  bool IsOnline() const { return m_bOnline; }
  bool IsManualOffline() const { return m_bManualOffline; }
  bool IsConnectionAlert() const;
  bool IsSessionEnded() const { return m_bEnded; }
  bool IsRefreshTimerActive() const;
  QTableView* Table() const { return m_pTable; }
  QFrame* DetailsArea() const { return m_pDetailsArea; }
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

 protected:
  void accept() override;  // Enter never closes the console
  void reject() override;  // closing the window logs out, keeping the remembered login
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

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
  void LayOutBottomButtons();
  void InsertVisitorColumns();
  void UpdateTabButtons();
  void OnRefreshed(const RefreshReply& reply);
  void OnConnectionAlert(bool bAlert);
  void ApplyVisitorLines(const RefreshReply& reply, int& chats);
  void RefillOperatorsBox();
  void SendPresence(bool bOnline);
  void OnStatusReply(const QString& reply);
  void EndSession(bool bForgetLogin, bool bToldByServer);
  CSiteVisitor MakeVisitor(const VisitorLine& line) const;

  CChatManager& m_engine;
  bool m_bOnline = false;
  bool m_bManualOffline = false;
  QHash<QString, VisitorDetails> m_detailsCache;
  ViewMode m_mode = ViewMode::AllVisitors;
  bool m_bEnded = false;

  CRefreshCycle* m_pRefresh;
  COperatorList* m_pOperators;
  CChatWindows* m_pChatWindows;
  CChatWindows* m_pOperChatWindows;
  CAlerts* m_pAlerts;

  QList<Placed> m_placed;
  QSize m_baseSize;
  CVisitorTableModel* m_pVisitorModel;
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
  QFrame* m_pDetailsArea;
  QComboBox* m_pOperatorsBox;
  QLineEdit* m_pMessage;
  FooButton* m_pSendMessage;
  QList<FooButton*> m_bottomButtons;
  FooButton* m_pControlPanel;
  FooButton* m_pLogOut;
  FooButton* m_pOperatorLogOut;
  QLabel* m_pStatusLine;
};
