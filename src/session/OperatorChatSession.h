#pragma once

#include "ChatSession.h"

struct MessagesReply;

// A chat with another operator of the site: besides its lines it asks,
// with each poll, who is typing at the other side (one query out at a
// time), tells the other side when the operator types, and fetches the
// messages operators left. Close Chat stops polling at once and ends the
// chat when the service answers; a failed close leaves it open there.
class COperatorChatSession : public CChatSession {
  Q_OBJECT

 public:
  COperatorChatSession(CChatManager& engine, const QString& otherOperator, const QString& chatId,
                       QObject* parent = nullptr);

  const QString& OtherOperator() const { return m_strOperator; }

  void Start() override;
  void NotifyTyping(int length) override;
  void End() override;
  // Asks for the messages operators left; MessagesArrived brings them.
  void ViewMessages();
  void OpenTranscripts();

 signals:
  void MessagesArrived(const MessagesReply& reply);

 protected:
  void AskForLines() override;
  QString SendLineRequest(const QString& text) const override;

 private:
  void OnPollReply(const ChatPollReply& reply);

  QString m_strOperator;
  bool m_bTypingQueryOut = false;
  bool m_bTypingNotified = false;  // re-armed every fifth character
};
