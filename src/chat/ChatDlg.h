#pragma once

#include "CannedLists.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

class CChatManager;
class CChatRichEd;
class CIconButton;
class CMySpellEditCtrl;
class CVisitorDtlsDlg;
class FooButton;
class IChatConsole;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
struct ChatPollReply;
struct VisitorDetails;

// The window of one chat with a visitor. It polls the service for new lines
// at the chat period (one poll out at a time), shows them in the transcript,
// sends what the operator types, tells the service every sixth character
// that the operator is typing, shows the elapsed time and the visitor's
// details. Enter sends, Escape clears the entry box. The chat ends with
// Close Chat once the service confirms it, or the visitor leaves; closing
// the window tells the service nothing. The window frees itself.
class CChatDlg : public QDialog {
  Q_OBJECT

 public:
  CChatDlg(CChatManager& engine, IChatConsole* console, const QString& visitorIp, const QString& chatId,
           const QString& visitorName, const QString& visitorEmail, bool bDetailsKnown);
  ~CChatDlg() override;

  // Starts polling and asks for what the window does not know yet.
  bool OnInitDialog();

  void SetVisitorDetails(const VisitorDetails& details);
  void RefreshOperatorCombo();
  void AppendTranscriptLine(const QString& text);
  void InsertTranscriptBitmap(int bitmapId);

  // The replies of the window's requests, by request type.
  void HandleServerReply(int nType, const QString& strReply);

  const QString& ChatId() const { return m_strChatId; }
  const QString& LastNumber() const { return m_strLastNum; }
  bool IsPolling() const { return m_pollTimer.isActive(); }
  bool IsPollOut() const { return m_bPollOut; }
  CChatRichEd* Transcript() const { return m_pTranscript; }
  CMySpellEditCtrl* EntryBox() const { return m_pEntry; }
  QLabel* StatusLine() const { return m_pStatusLine; }
  QLabel* ElapsedTime() const { return m_pElapsed; }
  QComboBox* OperatorsBox() const { return m_pOperators; }
  QCheckBox* SpellCheckBox() const { return m_pSpellCheck; }
  CVisitorDtlsDlg* DetailsPanel() const { return m_pDetails; }
  QTreeWidget* ToolTree() const { return m_pTools; }
  QLineEdit* ToolFilter() const { return m_pFilter; }
  bool IsShowingResponses() const { return m_bResponsesShown; }

 public slots:
  void PollMessages();
  void SendChatLine();
  void NotifyTyping();
  void EndChat();
  void CloseChatWindow();
  void OpenEmoticonPicker();
  // The tool column.
  void ParseCannedLists(const QString& reply);
  void ShowResponses();
  void ShowPushUrls();
  void PickTreeItem();
  void TransferChat();
  void ShowChatHistory();
  void OpenFileTransfer();

 protected:
  void accept() override;  // Enter never closes the window
  void reject() override;  // the close box: CloseChatWindow
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  void Request(const QString& url, int nType);
  void OnPollReply(const ChatPollReply& reply);
  void OnDetailsReply(const QString& reply);
  void OnNameReply(const QString& reply);
  void RequestNameAndEmail();
  void UpdateCaption();
  IChatConsole* Console() const;
  void SetToolMode(bool bResponses);
  void FillToolTree();
  QString ToolText(const QTreeWidgetItem* item) const;
  void PickFirstMatch();
  void OnTransferReply(const QString& reply);
  bool FilterKey(QKeyEvent* key);

  CChatManager& m_engine;
  // The console, a QObject that may go first: read through Console().
  QPointer<QObject> m_pConsoleObject;
  IChatConsole* m_pConsole;
  QString m_strChatId;
  QString m_strVisitorName;
  QString m_strVisitorEmail;
  QString m_strVisitorIp;
  QString m_strLastNum = QStringLiteral("1");
  bool m_bDetailsKnown;
  bool m_bPollOut = false;
  bool m_bClosing = false;
  bool m_bResponsesShown = true;
  QList<PushUrl> m_pushUrls;
  QList<CannedResponse> m_responses;
  QTimer m_pollTimer;
  QElapsedTimer m_started;

  CChatRichEd* m_pTranscript;
  CMySpellEditCtrl* m_pEntry;
  CVisitorDtlsDlg* m_pDetails;
  QLabel* m_pElapsed;
  QLabel* m_pStatusLine;
  QLabel* m_pPadlock;
  QComboBox* m_pOperators;
  QCheckBox* m_pSpellCheck;
  FooButton* m_pSend;
  FooButton* m_pCloseChat;
  FooButton* m_pTransfer;
  FooButton* m_pHistory;
  FooButton* m_pResponses;
  FooButton* m_pPushUrls;
  QTreeWidget* m_pTools;
  QLineEdit* m_pFilter;
  CIconButton* m_pFileTransfer;
  CIconButton* m_pEmoticons;
};
