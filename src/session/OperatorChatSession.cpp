#include "OperatorChatSession.h"

#include "ChatManager.h"
#include "ChatPollReply.h"
#include "MessagesReply.h"
#include "Separators.h"
#include "ShortReplies.h"

COperatorChatSession::COperatorChatSession(CChatManager& engine, const QString& otherOperator,
                                           const QString& chatId, QObject* parent)
    : CChatSession(engine, ChatKind::Operator, chatId, parent), m_strOperator(otherOperator) {}

void COperatorChatSession::Start() { StartPolling(m_engine.Session().operChatPeriodMs); }

void COperatorChatSession::AskForLines() {
  SendPoll(m_engine.Catalogue().OperatorPoll(Id(), m_strOperator, LastNumber()),
           [this](const QString& reply) { OnPollReply(ChatPollReply::ParseBlocks(reply)); });
  // One typing query out at a time, like the poll.
  if (m_bTypingQueryOut) return;
  m_bTypingQueryOut = true;
  Request(m_engine.Catalogue().OperatorTypingQuery(Id()), [this](const QString& text) {
    m_bTypingQueryOut = false;
    const OperatorTypingReply reply = OperatorTypingReply::Parse(text);
    // A failed query says nothing about typing.
    if (reply.wellFormed && !IsEnded()) SetTypist(reply.typist);
  });
}

void COperatorChatSession::OnPollReply(const ChatPollReply& reply) {
  if (IsEnded()) return;
  if (!TakeNewLines(reply) && reply.IsClosingNotice(ChatPollReply::kClosedByOperator)) {
    AddLines({TranscriptLine::Notice(ChatPollReply::kClosedByOperator)});
    MarkEnded(EndReason::EndedAtService, m_strOperator);
  }
  if (reply.RingsNewLine()) emit SoundRung(reply.sound);
}

QString COperatorChatSession::SendLineRequest(const QString& text) const {
  return m_engine.Catalogue().OperatorSendLine(text, Id());
}

void COperatorChatSession::NotifyTyping(int length) {
  if (!IsLive()) return;
  if (!m_bTypingNotified) {
    m_bTypingNotified = true;
    Request(m_engine.Catalogue().OperatorTypingNotice(Id()), {});
  } else if (length > 0 && length % 5 == 0) {
    m_bTypingNotified = false;  // the next change tells again
  }
}

void COperatorChatSession::ViewMessages() {
  Request(m_engine.Catalogue().AllMessages(), [this](const QString& text) {
    const MessagesReply reply = MessagesReply::Parse(text);
    if (reply.RingsNewMessage()) emit SoundRung(reply.sound);
    emit MessagesArrived(reply);
  });
}

void COperatorChatSession::OpenTranscripts() {
  m_engine.OpenServerPage(m_engine.Catalogue().OperatorTranscriptsPage());
}

// Polling stops at once; a failed close leaves the chat open at the
// service, and Close Chat can be pressed again.
void COperatorChatSession::End() {
  if (!IsLive()) return;
  StopPolling();
  Request(m_engine.Catalogue().CloseOperatorChat(Id()), [this](const QString& reply) {
    if (reply != kDisconnect) MarkEnded(EndReason::EndedByOperator);
  });
}
