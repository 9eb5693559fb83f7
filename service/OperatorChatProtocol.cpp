#include "OperatorChatProtocol.h"

#include "Separators.h"
#include "ServiceState.h"

#include <QStringList>

namespace {

// How long a typing notice counts; the consoles send one every few characters.
constexpr qint64 kTypingMs = 6000;

}  // namespace

QString COperatorChatProtocol::OpenChat(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  if (q.value("init") == QStringLiteral("Y")) {
    Site* site = m_state.FindSite(q.value("sid"));
    const OperatorState* asker = site ? site->FindOperator(q.value("adminid")) : nullptr;
    const OperatorState* invitee = site ? site->FindOperator(q.value("op2")) : nullptr;
    if (asker == nullptr || invitee == nullptr || asker == invitee || !asker->loggedIn) return QString();
    const OperatorChat& chat = m_state.OpenOperatorChat(*site, asker->account.loginId, invitee->account.loginId);
    return invitee->account.loginId + kSepField + chat.id;
  }
  OperatorChat* chat = m_state.FindOperatorChat(q.value("csesid"));
  if (chat == nullptr || chat->state == OperatorChat::Closed) return QString();
  chat->state = OperatorChat::Active;
  return chat->asker + kSepField + chat->id;
}

QString COperatorChatProtocol::CloseChat(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  OperatorChat* chat = m_state.FindOperatorChat(q.value("csesid"));
  if (chat == nullptr) return QStringLiteral("false");
  chat->state = OperatorChat::Closed;
  return QStringLiteral("true");
}

QString COperatorChatProtocol::SendLine(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  OperatorChat* chat = m_state.FindOperatorChat(q.value("csesid"));
  const QString me = q.value("adminid");
  if (chat == nullptr || chat->state == OperatorChat::Closed || (!SameId(me, chat->asker) && !SameId(me, chat->invitee)))
    return QStringLiteral("false");
  const QString& name = SameId(me, chat->asker) ? chat->asker : chat->invitee;
  CServiceState::AppendLine(chat->lines, name + QStringLiteral(": ") + q.value("say"), false, name, m_state.Now());
  chat->typingAt = -1;
  return QStringLiteral("true");
}

QString COperatorChatProtocol::Poll(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  OperatorChat* chat = m_state.FindOperatorChat(q.value("csesid"));
  if (chat == nullptr) return kInvalidRequest;
  // The window names the other operator; the one asking is the other one.
  const QString other = q.value("ipadd");
  const QString me = SameId(other, chat->asker) ? chat->invitee : chat->asker;
  chat->lastPoller = me;
  if (chat->state == OperatorChat::Closed) return CServiceState::ClosedBlocks(kClosedByOperator);
  return CServiceState::PollBlocks(chat->lines, q.value("lastnum").toInt(),
                                   [&me](const ChatLine& line) { return !SameId(line.sender, me); });
}

QString COperatorChatProtocol::Typing(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  OperatorChat* chat = m_state.FindOperatorChat(q.value("csesid"));
  if (q.value("stat") == QStringLiteral("otype")) {
    if (chat == nullptr) return QStringLiteral("false");
    chat->typingAt = m_state.Now();
    return QStringLiteral("true");
  }
  if (chat == nullptr || chat->typingAt < 0 || m_state.Now() - chat->typingAt > kTypingMs)
    return QStringLiteral("blank");
  // The notice names only the chat, not who typed: the one asking is shown
  // the other operator as typing.
  return SameId(chat->lastPoller, chat->asker) ? chat->invitee : chat->asker;
}
