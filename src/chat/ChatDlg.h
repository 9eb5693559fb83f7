#pragma once

#include "CannedLists.h"
#include "ChatWindowBase.h"

#include <QPointer>

class CChatManager;
class CChatRichEd;
class CIconButton;
class CMySpellEditCtrl;
class CResponseCompleter;
class CVisitorDtlsDlg;
class FooButton;
class CConsoleSession;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
struct ChatPollReply;
struct VisitorDetails;
struct VisitorNameReply;

// The window of one chat with a visitor. It polls the service for new lines
// at the chat period (one poll out at a time), shows them in the transcript,
// sends what the operator types, tells the service every sixth character
// that the operator is typing, shows the elapsed time and the visitor's
// details. Enter sends, Escape clears the entry box. The chat ends with
// Close Chat once the service confirms it, or the visitor leaves; closing
// the window tells the service nothing. The window frees itself.
class CChatDlg : public CChatWindowBase {
  Q_OBJECT

 public:
  CChatDlg(CChatManager& engine, CConsoleSession* session, const QString& visitorIp, const QString& chatId,
           const QString& visitorName, const QString& visitorEmail, bool bDetailsKnown);
  ~CChatDlg() override;

  // Starts polling and asks for what the window does not know yet.
  bool OnInitDialog();

  void SetVisitorDetails(const VisitorDetails& details);
  void RefreshOperatorCombo();
  void AppendTranscriptLine(const QString& text) override;
  // A reply handed over by its request type: the poll, Close Chat, the
  // visitor's details, name and e-mail, and the canned lists. The window's
  // own requests hand their replies to their handlers directly. Nothing is
  // done while the session or the window is closing.
  void HandleServerReply(int nType, const QString& strReply);

  const QString& ChatId() const { return m_strChatId; }
  // The chat still runs: the visitor has not left, nor has it gone to
  // another operator, nor been ended by Close Chat.
  bool IsChatLive() const { return !m_bEnded; }

  // Before the console closes with chats open: a box modal to the console
  // asks whether to end them (the Close Chat request of each, awaited for
  // waitMs at most in all), keep them waiting at the service, or cancel.
  // False when the operator cancelled; windows that are not live visitor
  // chats are passed over.
  static bool SettleOpenChats(QWidget* console, CChatManager& engine, const QList<QWidget*>& windows, int waitMs);
  CChatRichEd* Transcript() const { return m_pTranscript; }
  CMySpellEditCtrl* EntryBox() const { return m_pEntry; }
  QLabel* StatusLine() const { return m_pStatusLine; }
  QComboBox* OperatorsBox() const { return m_pOperators; }
  QCheckBox* SpellCheckBox() const { return m_pSpellCheck; }
  CVisitorDtlsDlg* DetailsPanel() const { return m_pDetails; }
  QTreeWidget* ToolTree() const { return m_pTools; }
  QLineEdit* ToolFilter() const { return m_pFilter; }
  CResponseCompleter* ResponsesAtCaret() const { return m_pCompleter; }
  bool IsShowingResponses() const { return m_bResponsesShown; }

 public slots:
  void PollMessages() override;
  void NotifyTyping();
  void EndChat();
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
  void reject() override;  // the close box: asks whether to end a live chat
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString SendLineRequest(const QString& text) const override;
  int SendLineType() const override;
  void BuildWindow();
  // The details show where the window has room for them beside the least
  // of the transcript and the tools, and collapse where it has not.
  void FitDetails();
  void OnPollReply(const ChatPollReply& reply);
  void OnDetailsReply(const VisitorDetails& details);
  void OnNameReply(const VisitorNameReply& reply);
  void RequestNameAndEmail();
  void UpdateCaption();
  void SetToolMode(bool bResponses);
  void FillToolTree();
  QString ToolText(const QTreeWidgetItem* item) const;
  void PickFirstMatch();
  void OnTransferReply(const QString& reply, const QString& toOperator);
  void OnEndChatReply(const QString& reply);
  // The chat is over for this window (the visitor left, or it went to
  // another operator): the caption and the status line say so, polling
  // and sending stop, the transcript stays to be read and copied.
  void MarkEnded(const QString& captionNote, const QString& status);
  bool FilterKey(QKeyEvent* key);
  bool TreeKey(QKeyEvent* key);

  // The session of the console, which may end first.
  QPointer<CConsoleSession> m_pSession;
  QString m_strChatId;
  QString m_strVisitorName;
  QString m_strVisitorEmail;
  QString m_strVisitorIp;
  bool m_bDetailsKnown;
  bool m_bResponsesShown = true;
  bool m_bEnded = false;
  QString m_strCaptionNote;  // "(chat ended)" and the like, after the visitor's name
  QList<PushUrl> m_pushUrls;
  QList<CannedResponse> m_responses;

  CChatRichEd* m_pTranscript;
  CMySpellEditCtrl* m_pEntry;
  CVisitorDtlsDlg* m_pDetails;
  int m_nLeastWithDetails = 0;  // the window's least height with the details shown
  QLabel* m_pStatusLine;
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
  CResponseCompleter* m_pCompleter;
  CIconButton* m_pFileTransfer;
  CIconButton* m_pEmoticons;
};
