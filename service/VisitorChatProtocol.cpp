#include "VisitorChatProtocol.h"

#include "ConsoleProtocol.h"
#include "Separators.h"
#include "ServiceState.h"

#include <QStringList>

namespace {

// The accept reply always has five pieces; a refusal carries its reason first.
QString AcceptRefusal(const QString& why) { return why + kSepField + kSepField + kSepField + kSepField; }

}  // namespace

QString CVisitorChatProtocol::Accept(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  Visitor* v = site ? site->FindVisitor(q.value("csesid")) : nullptr;
  OperatorState* op = site ? site->FindOperator(q.value("adminid")) : nullptr;
  if (op == nullptr || !op->loggedIn) return AcceptRefusal(QStringLiteral("You are not logged in."));
  if (v == nullptr || v->departed || !v->hasChat || v->chat.state == VisitorChat::Closed)
    return AcceptRefusal(QStringLiteral("This visitor is no longer waiting for a chat."));
  VisitorChat& chat = v->chat;
  const QString me = op->account.loginId;
  const qint64 now = m_state.Now();
  if (chat.state == VisitorChat::Requested) {
    chat.state = VisitorChat::Active;
    chat.operatorId = me;
    chat.participants = {me};
    CServiceState::AppendLine(chat.lines, QStringLiteral("Notice:Now user has join the chat"), false, QString(), now);
  } else if (SameId(chat.transferTo, me)) {
    chat.operatorId = me;
    chat.transferTo.clear();
    if (!chat.participants.contains(me, Qt::CaseInsensitive)) chat.participants.append(me);
    CServiceState::AppendLine(chat.lines, QStringLiteral("Notice: %1 has taken over the chat.").arg(me), false,
                              QString(), now);
  } else if (!chat.participants.contains(me, Qt::CaseInsensitive)) {
    if (!op->account.admin)
      return AcceptRefusal(QStringLiteral("This chat has already been accepted by %1.").arg(chat.operatorId));
    chat.participants.append(me);  // an administrator joins a running chat
    CServiceState::AppendLine(chat.lines, QStringLiteral("Notice: %1 has joined the chat.").arg(me), false,
                              QString(), now);
  }
  return QStringList{QStringLiteral("true"), v->name, v->email, v->earlierChats ? "Y" : "N", v->sessionId}.join(
      kSepField);
}

QString CVisitorChatProtocol::Action(const Query& q) {
  const QString action = q.value("action");
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  Visitor* v = site ? site->FindVisitor(q.value("csesid")) : nullptr;
  if (v == nullptr) return action == QStringLiteral("endchatcl") ? QStringLiteral("false") : QString();
  if (action == QStringLiteral("endchatcl")) {
    if (!v->hasChat) return QStringLiteral("false");
    if (v->chat.state != VisitorChat::Closed &&
        !v->chat.participants.contains(q.value("adminid"), Qt::CaseInsensitive))
      return QStringLiteral("false");
    m_state.CloseChat(*site, *v, kClosedByOperator);
    return QStringLiteral("true");
  }
  if (v->departed) return QString();
  if (action == QStringLiteral("remove")) {
    m_state.RemoveVisitor(*site, v->sessionId, kClosedByUser);
    return QString();
  }
  if (action == QStringLiteral("refuse")) {
    if (v->hasChat && v->chat.state == VisitorChat::Requested) v->hasChat = false;
    return QString();
  }
  if (action == QStringLiteral("cinvt")) {
    if (v->hasChat && v->chat.state != VisitorChat::Closed) return QString();
    v->invited = true;
    return v->name.isEmpty() ? v->ip : QStringLiteral("%1 (%2)").arg(v->name, v->ip);
  }
  if (action == QStringLiteral("blockip")) {
    const QString ip = v->ip;
    site->blockedIps.insert(ip);
    QStringList gone;
    for (const Visitor& other : site->visitors)
      if (other.ip == ip && !other.departed) gone.append(other.sessionId);
    for (const QString& id : gone) m_state.RemoveVisitor(*site, id, kClosedByUser);
    return ip;
  }
  return QString();
}

QString CVisitorChatProtocol::ProactivePop(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Visitor* v = m_state.FindChatVisitor(q.value("csesid"));
  if (v == nullptr || q.value("ppurl").isEmpty()) return QStringLiteral("false");
  v->proactiveUrl = q.value("ppurl");
  v->proactiveWindow = q.value("popwin") == QStringLiteral("R") ? QStringLiteral("same") : QStringLiteral("new");
  return QStringLiteral("true");
}

QString CVisitorChatProtocol::Details(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  const Visitor* v = m_state.FindChatVisitor(q.value("csesid"));
  if (v == nullptr) return QString();
  QStringList details = v->details;
  details[0] = v->page;
  details[13] = v->name;
  details[14] = v->email;
  return details.join(kSepField);
}

QString CVisitorChatProtocol::FootPrints(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  const Visitor* v = m_state.FindChatVisitor(q.value("csesid"));
  if (v == nullptr) return QString();
  QStringList pieces;
  const qint64 now = m_state.Now();
  for (qsizetype i = 0; i < v->footprints.size(); ++i) {
    const qint64 until = i + 1 < v->footprints.size() ? v->footprints[i + 1].at : now;
    pieces.append(v->footprints[i].page + QStringLiteral(" Time:") +
                  FormatDuration(until - v->footprints[i].at));
  }
  return pieces.join(kSepField);
}

QString CVisitorChatProtocol::CannedLists(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  const Site* site = m_state.FindSite(q.value("sid"));
  if (site == nullptr) return kInvalidRequest;
  QStringList push, canned;
  for (const PushEntry& p : site->config.push) push.append(p.title + kSepLine + p.url);
  for (const CannedEntry& c : site->config.canned) canned.append(c.category + kSepLine + c.title + kSepLine + c.text);
  return push.join(kSepField) + kSepBlock + canned.join(kSepField);
}

QString CVisitorChatProtocol::SendLine(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  Visitor* v = site ? site->FindVisitor(q.value("csesid")) : nullptr;
  OperatorState* op = site ? site->FindOperator(q.value("adminid")) : nullptr;
  if (v == nullptr || op == nullptr || !v->hasChat || v->chat.state != VisitorChat::Active ||
      !v->chat.participants.contains(op->account.loginId, Qt::CaseInsensitive))
    return QStringLiteral("false");
  const QString& me = op->account.loginId;
  CServiceState::AppendLine(v->chat.lines, me + QStringLiteral(": ") + q.value("say"), false, me, m_state.Now());
  v->chat.operatorTypingAt = -1;
  return QStringLiteral("true");
}

QString CVisitorChatProtocol::Poll(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  Visitor* v = site ? site->FindVisitor(q.value("csesid")) : nullptr;
  if (v == nullptr || !v->hasChat) return kInvalidRequest;
  if (OperatorState* op = site->FindOperator(q.value("adminid")); op && op->loggedIn) op->lastHeard = m_state.Now();
  const VisitorChat& chat = v->chat;
  if (chat.state == VisitorChat::Closed) return CServiceState::ClosedBlocks(chat.closedNotice) + kSepChatType;
  return CServiceState::PollBlocks(chat.lines, q.value("lastnum").toInt(),
                                   [](const ChatLine& line) { return line.fromVisitor; }) +
         kSepChatType + (chat.visitorTyping ? QStringLiteral("vt") : QString());
}

QString CVisitorChatProtocol::OperatorTyping(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Visitor* v = m_state.FindChatVisitor(q.value("csesid"));
  if (v == nullptr || !v->hasChat) return QStringLiteral("false");
  v->chat.operatorTypingAt = m_state.Now();
  return QStringLiteral("true");
}

QString CVisitorChatProtocol::Transfer(const Query& q) {
  if (q.value("action") != QStringLiteral("trans")) return kInvalidRequest;
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  Visitor* v = site ? site->FindVisitor(q.value("csesid")) : nullptr;
  OperatorState* target = site ? site->FindOperator(q.value("adid")) : nullptr;
  const QString me = q.value("adminid");
  const qint64 now = m_state.Now();
  if (v == nullptr || target == nullptr || !v->hasChat || v->chat.state != VisitorChat::Active ||
      !v->chat.participants.contains(me, Qt::CaseInsensitive) || SameId(target->account.loginId, me) ||
      !site->IsOnline(*target, now))
    return QStringLiteral("false");
  v->chat.transferTo = target->account.loginId;
  target->transferNotice = v->sessionId;
  target->transferRung = false;
  CServiceState::AppendLine(v->chat.lines,
                            QStringLiteral("Notice: The chat is being transferred to %1.").arg(target->account.loginId),
                            false, QString(), now);
  return QStringLiteral("true");
}

QString CVisitorChatProtocol::NameAndEmail(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  const Visitor* v = m_state.FindChatVisitor(q.value("csesid"));
  if (v == nullptr) return kInvalidRequest;
  return v->name + kSepField + v->email;
}
