#pragma once

#include "ChatWindowBase.h"
#include "OperatorChatSession.h"

class CChatRichEd;
class CMySpellEditCtrl;
class FooButton;
class QCheckBox;
class QLabel;
struct MessagesReply;

// The window of a chat with another operator of the site, showing its
// session: the transcript, the entry box (Enter sends, Escape clears),
// who is typing at the other side, the messages operators left, and Close
// Chat, which ends the chat and closes the window once the service
// answers. The window frees itself when it closes.
class COperChatDlg : public CChatWindowBase {
  Q_OBJECT

 public:
  explicit COperChatDlg(COperatorChatSession& session);

  COperatorChatSession* Chat() const { return static_cast<COperatorChatSession*>(Session()); }
  QLabel* TypingLine() const { return m_pTyping; }
  QCheckBox* SpellCheckBox() const { return m_pSpellCheck; }
  QString PartnerName() const override { return m_strPartner; }

 public slots:
  void ViewMessages();
  void ShowTranscripts();
  void EndChat();

 protected:
  void reject() override;  // the close box ends the chat as Close Chat does
  void ShowTyping(const QString& typist) override;
  void OnEnded(CChatSession::EndReason reason, const QString& other) override;
  void OnOtherSideWrote() override;

 private:
  void BuildWindow();

  QString m_strPartner;
  QLabel* m_pTyping;
  CChatRichEd* m_pTranscript;
  CMySpellEditCtrl* m_pEntry;
  QCheckBox* m_pSpellCheck;
  FooButton* m_pSend;
};
