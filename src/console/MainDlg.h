#pragma once

#include "OperatorEntry.h"
#include "ReplyTarget.h"
#include "SiteVisitor.h"
#include "VisitorDetails.h"

#include <QDialog>
#include <QHash>
#include <QStringList>
#include <QTimer>

class CChatManager;
class CVisitorTableModel;
class QComboBox;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTableView;
struct RefreshReply;

// The operator console: the main window of a logged-in session. It asks the
// service for the site's visitors and operators every console period and
// shows them, keeps the operator's own presence, plays the alert sounds the
// service names, and ends the session at log-out or when the service says
// the operator was logged out.
class CMainDlg : public QDialog, public CReplyWindow {
  Q_OBJECT

 public:
  enum class ViewMode { AllVisitors, ChatsOnly, Operators };

  explicit CMainDlg(CChatManager& engine, QWidget* parent = nullptr);
  ~CMainDlg() override;

  void SetConsoleSession(const QString& siteId, const QString& loginId, const QString& siteUrl);
  // Sets the window up (announces the operator online, starts the refresh
  // timer); then DoModal runs it until the session ends.
  bool OnInitDialog();
  int DoModal();

  void HandleServerReply(int nType, const QString& strReply) override;
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

  // What the window shows, for its owner and for tests.
  const QList<CSiteVisitor>& Visitors() const;
  const QList<OperatorEntry>& Operators() const { return m_operators; }
  const QStringList& OperatorTexts() const { return m_operatorTexts; }
  ViewMode Mode() const { return m_mode; }
  bool IsOnline() const { return m_bOnline; }
  bool IsManualOffline() const { return m_bManualOffline; }
  bool IsConnectionAlert() const { return m_bConnectionAlert; }
  bool IsSessionEnded() const { return m_bEnded; }
  bool IsRefreshTimerActive() const { return m_refreshTimer.isActive(); }
  QTableView* Table() const { return m_pTable; }
  QLabel* StatusLine() const { return m_pStatusLine; }
  QComboBox* OperatorsBox() const { return m_pOperatorsBox; }
  QRadioButton* OnlineRadio() const { return m_pOnline; }
  QRadioButton* OfflineRadio() const { return m_pOffline; }
  QPushButton* LogOutButton() const { return m_pLogOut; }
  QList<QPushButton*> BottomButtons() const { return m_bottomButtons; }
  QList<QPushButton*> TabButtons() const { return {m_pTabAll, m_pTabChats, m_pTabOperators}; }
  int SelectedRow() const;

 public slots:
  void OnOnline();
  void OnOffline();
  void OnLogOutButton();

 protected:
  void accept() override;  // Enter never closes the console
  void reject() override;  // closing the window logs out, keeping the remembered login
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class CRefreshRequest;

  void BuildWindow();
  void LayOutBottomButtons();
  void InsertVisitorColumns();
  void UpdateTabButtons();
  void OnRefreshReply(quint64 sequence, const QString& reply);
  void ApplyVisitorLines(const RefreshReply& reply, int& chats);
  void RefillOperatorsBox();
  void SendPresence(bool bOnline);
  void OnStatusReply(const QString& reply);
  void EndSession(bool bForgetLogin, bool bToldByServer);
  bool IsConsoleVisible() const;
  CSiteVisitor MakeVisitor(const VisitorLine& line) const;

  CChatManager& m_engine;
  QString m_strSiteId;
  QString m_strLoginId;
  QString m_strSiteUrl;
  bool m_bOnline = false;
  bool m_bManualOffline = false;
  QList<OperatorEntry> m_operators;
  QStringList m_operatorTexts;
  QHash<QString, VisitorDetails> m_detailsCache;
  QTimer m_refreshTimer;
  ViewMode m_mode = ViewMode::AllVisitors;
  bool m_bConnectionAlert = false;
  bool m_bEnded = false;
  quint64 m_nNextRefresh = 1;     // sequence number of the next refresh request
  quint64 m_nNewestApplied = 0;  // of the newest reply applied

  CVisitorTableModel* m_pVisitorModel;
  QStandardItemModel* m_pOperatorModel;
  QLabel* m_pSiteUrl;
  QLabel* m_pSession;
  QLabel* m_pPadlock;
  QRadioButton* m_pOnline;
  QRadioButton* m_pOffline;
  QPushButton* m_pTabAll;
  QPushButton* m_pTabChats;
  QPushButton* m_pTabOperators;
  QTableView* m_pTable;
  QList<QPushButton*> m_visitorButtons;
  QLineEdit* m_pPopUrl;
  QCheckBox* m_pSameWindow;
  QPushButton* m_pSendPop;
  QFrame* m_pDetailsArea;
  QComboBox* m_pOperatorsBox;
  QLineEdit* m_pMessage;
  QPushButton* m_pSendMessage;
  QList<QPushButton*> m_bottomButtons;
  QPushButton* m_pControlPanel;
  QPushButton* m_pLogOut;
  QPushButton* m_pOperatorLogOut;
  QLabel* m_pStatusLine;
};
