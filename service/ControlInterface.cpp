#include "ControlInterface.h"

#include "FaultInjector.h"
#include "ServiceState.h"

#include <QStringList>

namespace {

ServiceReply Error(int status, const QString& text) { return ServiceReply{status, (text + u'\n').toUtf8()}; }

const QString kOk = QStringLiteral("ok");

}  // namespace

ServiceReply CControlInterface::Handle(const QString& command, const Query& q) {
  if (command == QStringLiteral("visitor/add")) return AddVisitor(q);
  if (command.startsWith(QStringLiteral("visitor/"))) return VisitorCommand(command.mid(8), q);
  if (command == QStringLiteral("message")) return LeaveMessage(q);
  if (command == QStringLiteral("operators")) return ShowOperators(q);
  if (command == QStringLiteral("fault")) return ArmFault(q);
  return Error(404, QStringLiteral("unknown control command; see service/README.md"));
}

ServiceReply CControlInterface::AddVisitor(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = q.contains("site") ? m_state.FindSite(q.value("site")) : &m_state.sites.first();
  if (site == nullptr) return Error(404, QStringLiteral("no such site"));
  QString ip = q.value("ip");
  if (ip.isEmpty()) ip = QStringLiteral("10.20.%1.%2").arg(site->nextVisitor / 250 % 250).arg(site->nextVisitor % 250 + 1);
  const QString id = m_state.AddVisitor(*site, q.value("name"), ip, q.value("page"));
  if (id.isEmpty()) return Error(403, QStringLiteral("blocked address %1").arg(ip));
  Visitor* v = site->FindVisitor(id);
  v->email = q.value("email");
  if (q.contains("colour")) v->colour = q.value("colour");
  v->earlierChats = q.value("earlier") == QStringLiteral("Y");
  return ServiceReply::Text(id);
}

ServiceReply CControlInterface::VisitorCommand(const QString& command, const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = nullptr;
  Visitor* v = m_state.FindChatVisitor(q.value("csesid"), &site);
  if (v == nullptr || v->departed) return Error(404, QStringLiteral("no such visitor"));
  const qint64 now = m_state.Now();
  if (command == QStringLiteral("chat")) {
    if (v->hasChat && v->chat.state != VisitorChat::Closed) return Error(409, QStringLiteral("already chatting"));
    if (q.contains("name")) v->name = q.value("name");
    if (q.contains("email")) v->email = q.value("email");
    v->chat = VisitorChat();
    v->chat.requestedAt = now;
    v->hasChat = true;
    v->invited = false;
    return ServiceReply::Text(kOk);
  }
  if (command == QStringLiteral("say")) {
    if (!v->hasChat || v->chat.state != VisitorChat::Active) return Error(409, QStringLiteral("no running chat"));
    const QString name = v->name.isEmpty() ? QStringLiteral("Visitor") : v->name;
    CServiceState::AppendLine(v->chat.lines, name + QStringLiteral(": ") + q.value("text"), true, QString(), now);
    v->chat.visitorTyping = false;
    return ServiceReply::Text(kOk);
  }
  if (command == QStringLiteral("typing")) {
    if (!v->hasChat) return Error(409, QStringLiteral("no chat"));
    v->chat.visitorTyping = q.value("on", QStringLiteral("1")) != QStringLiteral("0");
    return ServiceReply::Text(kOk);
  }
  if (command == QStringLiteral("leave")) {
    m_state.RemoveVisitor(*site, v->sessionId, kClosedByUser);
    return ServiceReply::Text(kOk);
  }
  if (command == QStringLiteral("browse")) {
    if (q.value("page").isEmpty()) return Error(400, QStringLiteral("page missing"));
    v->page = q.value("page");
    ++v->visits;
    v->footprints.append({v->page, now});
    return ServiceReply::Text(kOk);
  }
  if (command == QStringLiteral("show")) {
    QStringList out{QStringLiteral("status=") + v->Status(),
                    QStringLiteral("invited=") + (v->invited ? "Y" : "N"),
                    QStringLiteral("proactive=") + v->proactiveUrl,
                    QStringLiteral("proactive_window=") + v->proactiveWindow,
                    QStringLiteral("operator_typing=") +
                        (v->hasChat && v->chat.operatorTypingAt >= 0 && now - v->chat.operatorTypingAt < 6000 ? "Y" : "N")};
    if (v->hasChat)
      for (const ChatLine& line : v->chat.lines) out.append(QStringLiteral("line %1=%2").arg(line.number).arg(line.text));
    return ServiceReply::Text(out.join(u'\n') + u'\n');
  }
  return Error(404, QStringLiteral("unknown visitor command"));
}

ServiceReply CControlInterface::LeaveMessage(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = q.contains("site") ? m_state.FindSite(q.value("site")) : &m_state.sites.first();
  if (site == nullptr) return Error(404, QStringLiteral("no such site"));
  const OperatorState* to = site->FindOperator(q.value("to"));
  if (to == nullptr) return Error(404, QStringLiteral("no such operator"));
  site->messages.append({q.value("from", QStringLiteral("Support")), to->account.loginId, q.value("text"), false,
                         m_state.Now()});
  return ServiceReply::Text(kOk);
}

ServiceReply CControlInterface::ShowOperators(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = q.contains("site") ? m_state.FindSite(q.value("site")) : &m_state.sites.first();
  if (site == nullptr) return Error(404, QStringLiteral("no such site"));
  QString out;
  const qint64 now = m_state.Now();
  for (const OperatorState& op : site->operators)
    out += QStringLiteral("%1 %2%3\n")
               .arg(op.account.loginId, site->IsOnline(op, now) ? "Online" : "Offline",
                    op.loggedIn ? " logged-in" : "");
  return ServiceReply::Text(out);
}

ServiceReply CControlInterface::ArmFault(const Query& q) {
  const auto kind = CFaultInjector::KindFromName(q.value("kind"));
  if (!kind) return Error(400, QStringLiteral("kind is one of delay, drop, garbage, empty, truncated, huge, none"));
  bool ok = true;
  const int count = q.contains("count") ? q.value("count").toInt(&ok) : 1;
  if (!ok || count < 0) return Error(400, QStringLiteral("count is a whole number"));
  const int ms = q.contains("ms") ? q.value("ms").toInt(&ok) : 3000;
  if (!ok || ms < 0) return Error(400, QStringLiteral("ms is a whole number"));
  const int duration = q.contains("for") ? q.value("for").toInt(&ok) : 0;
  if (!ok || duration < 0) return Error(400, QStringLiteral("for is a whole number of milliseconds"));
  m_faults.Arm(*kind, count, ms, q.value("script"), duration);
  return ServiceReply::Text(kOk);
}
