#pragma once

#include "ChatWindowBase.h"

class CChatManager;
class CChatRichEd;
class CMySpellEditCtrl;
class FooButton;
class QCheckBox;
class QLabel;
struct ChatPollReply;
struct MessagesReply;
struct OperatorTypingReply;

// The window of a chat with another operator of the site. It polls for new
// lines and for whether the other operator is typing (one request of each
// out at a time), sends the operator's lines, tells the other side when
// the operator types, shows messages left by other operators, and ends on
// Close Chat once the service answers. Enter sends, Escape clears the
// entry box. The window frees itself when it closes.
class COperChatDlg : public CChatWindowBase {
  Q_OBJECT

 public:
  COperChatDlg(CChatManager& engine, const QString& otherOperator, const QString& chatId);

  bool OnInitDialog();
  // A reply handed over by its request type: the messages, the poll, the
  // typing query and Close Chat. The window's own requests hand their
  // replies to their handlers directly. Nothing is done while the session
  // or the window is closing.
  void HandleServerReply(int nType, const QString& strReply);
  void AppendTranscriptLine(const QString& text) override;

  const QString& ChatId() const { return m_strChatId; }
  CChatRichEd* Transcript() const { return m_pTranscript; }
  CMySpellEditCtrl* EntryBox() const { return m_pEntry; }
  QLabel* TypingLine() const { return m_pTyping; }
  QCheckBox* SpellCheckBox() const { return m_pSpellCheck; }

 public slots:
  void PollMessages() override;
  void NotifyTyping();
  void ViewMessages();
  void ShowTranscripts();
  void EndChat();

 protected:
  void reject() override;  // the close box ends the chat as Close Chat does

 private:
  QString SendLineRequest(const QString& text) const override;
  int SendLineType() const override;
  void BuildWindow();
  void OnPollReply(const ChatPollReply& reply);
  void OnTypingReply(const OperatorTypingReply& reply);
  void OnMessagesReply(const MessagesReply& reply);
  void OnCloseReply(const QString& reply);
  void MarkEnded();

  QString m_strOperator;
  QString m_strChatId;
  bool m_bTypingQueryOut = false;
  bool m_bTypingNotified = false;  // re-armed every fifth character
  bool m_bEnded = false;           // the other operator closed the chat

  QLabel* m_pTyping;
  CChatRichEd* m_pTranscript;
  CMySpellEditCtrl* m_pEntry;
  QCheckBox* m_pSpellCheck;
  FooButton* m_pSend;
};
