#pragma once

#include "CannedLists.h"
#include "ChatWindowBase.h"
#include "VisitorChatSession.h"

#include <functional>

class CChatRichEd;
class CIconButton;
class CMySpellEditCtrl;
class CResponseCompleter;
class CVisitorDtlsDlg;
class FooButton;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
struct VisitorDetails;

// The window of one chat with a visitor, showing its session: the
// transcript, the entry box (Enter sends, Escape clears), whether the
// visitor is typing, the elapsed time, the visitor's details and the tool
// column of canned responses and push URLs. Close Chat asks the session to
// end the chat and the window closes when it has; closing the window of a
// live chat asks first. The window frees itself.
class CChatDlg : public CChatWindowBase {
  Q_OBJECT

 public:
  explicit CChatDlg(CVisitorChatSession& session);
  ~CChatDlg() override;

  void SetVisitorDetails(const VisitorDetails& details);
  // What "Earlier chats here" does: shows this visitor's earlier chats
  // under the button it is given. Without one the button is disabled.
  void SetEarlierChats(std::function<void(QWidget* button)> show);
  void RefreshOperatorCombo();

  CVisitorChatSession* Chat() const { return static_cast<CVisitorChatSession*>(Session()); }
  QLabel* StatusLine() const { return m_pStatusLine; }
  QComboBox* OperatorsBox() const { return m_pOperators; }
  QCheckBox* SpellCheckBox() const { return m_pSpellCheck; }
  QTreeWidget* ToolTree() const { return m_pTools; }
  QLineEdit* ToolFilter() const { return m_pFilter; }
  CResponseCompleter* ResponsesAtCaret() const { return m_pCompleter; }
  bool IsShowingResponses() const { return m_bResponsesShown; }
  QString PartnerName() const override { return m_strPartner; }

 public slots:
  void EndChat();
  void OpenEmoticonPicker();
  // The tool column.
  void ShowResponses();
  void ShowPushUrls();
  void PickTreeItem();
  void TransferChat();
  void ShowChatHistory();
  void ShowEarlierChats();
  void OpenFileTransfer();

 protected:
  void reject() override;  // the close box: asks whether to end a live chat
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void ShowTyping(const QString& typist) override;
  void OnEnded(CChatSession::EndReason reason, const QString& other) override;
  void OnOtherSideWrote() override;

 private:
  void BuildWindow();
  // The details show where the window has room for them beside the least
  // of the transcript and the tools, and collapse where it has not.
  void FitDetails();
  void UpdateCaption();
  void SetToolMode(bool bResponses);
  void FillToolTree();
  QString ToolText(const QTreeWidgetItem* item) const;
  void PickFirstMatch();
  void ShowCannedLists();
  // The chat's canned responses and push URLs, kept by its session.
  const CannedLists& Canned() const;
  void OnEndFailed(const QString& text);
  void OnTransferFailed(const QString& text);
  // The chat is over for this window (the visitor left, or it went to
  // another operator): the caption and the status line say so, polling
  // and sending stop, the transcript stays to be read and copied.
  void MarkEnded(const QString& captionNote, const QString& status);
  bool FilterKey(QKeyEvent* key);
  bool TreeKey(QKeyEvent* key);

  bool m_bResponsesShown = true;
  QString m_strPartner;      // the visitor's name, else his address
  QString m_strCaptionNote;  // "(chat ended)" and the like, after the visitor's name

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
  FooButton* m_pEarlier;
  std::function<void(QWidget*)> m_showEarlierChats;
  FooButton* m_pResponses;
  FooButton* m_pPushUrls;
  QTreeWidget* m_pTools;
  QLineEdit* m_pFilter;
  CResponseCompleter* m_pCompleter;
  CIconButton* m_pFileTransfer;
  CIconButton* m_pEmoticons;
};
