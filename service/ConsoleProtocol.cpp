#include "ConsoleProtocol.h"

#include "Separators.h"
#include "ServiceState.h"
#include "SiteVisitor.h"

#include <QStringList>

namespace {

bool HasActiveChat(const Site& site, const QString& loginId) {
  for (const Visitor& v : site.visitors)
    if (!v.departed && v.hasChat && v.chat.state == VisitorChat::Active &&
        v.chat.participants.contains(loginId, Qt::CaseInsensitive))
      return true;
  return false;
}

}  // namespace

QString FormatDuration(qint64 ms) {
  const qint64 s = std::max<qint64>(0, ms / 1000);
  return QStringLiteral("%1:%2:%3")
      .arg(s / 3600)
      .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString CConsoleProtocol::Parameters(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  const Site* site = m_state.FindSite(q.value("stid"));
  const int console = site ? site->config.consolePeriod : 8;
  const int chat = site ? site->config.chatPeriod : 8;
  const QString host = m_state.config.host.isEmpty() ? m_strAnnouncedHost : m_state.config.host;
  return QStringList{QString::number(console), QString::number(chat), host, m_state.config.prefix,
                     m_state.config.newVersionText, m_state.config.version}
      .join(kSepField);
}

QString CConsoleProtocol::Login(const Query& q) {
  if (!q.contains("loginid") || !q.contains("stid") || !q.contains("pwd")) return kInvalidRequest;
  auto refuse = [](const char* word) { return QString::fromLatin1(word) + kSepField + kSepField; };
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("stid"));
  if (site == nullptr) return refuse("noaccount");
  OperatorState* op = site->FindOperator(q.value("loginid"));
  if (op == nullptr) return refuse("false");
  if (op->account.password != q.value("pwd")) return refuse("incorrect");
  const qint64 now = m_state.Now();
  // Still seen from another console: logged in and heard from lately. The
  // demo's simulated operator makes way for a console: his chats end.
  if (op->simulated)
    m_state.LogOut(*site, *op);
  else if (op->loggedIn && !op->forcedOut && now - op->lastHeard <= 3 * 1000 * qint64(site->config.consolePeriod))
    return refuse("already");
  op->loggedIn = true;
  op->manualOffline = false;
  op->forcedOut = false;
  op->lastHeard = now;
  op->firstUnseenVisitor = site->nextVisitor;
  op->transferNotice.clear();
  return QStringLiteral("true") + kSepField + (op->account.admin ? QStringLiteral("ADM") : QString()) + kSepField +
         site->config.address;
}

QString CConsoleProtocol::VisitorLines(Site& site, bool chatsOnly, qint64 now) const {
  QStringList lines;
  for (const Visitor& v : site.visitors) {
    if (v.departed) continue;
    VisitorLine line;
    line.status = v.Status();
    const bool request = line.IsChatRequest();
    const bool chatting = line.IsChatting();
    if (chatsOnly && !request && !chatting) continue;
    const bool inSite = !request && !chatting;
    line.sessionId = v.sessionId;
    line.ip = v.ip;
    line.visits = QString::number(v.visits);
    line.duration = FormatDuration(now - v.arrivedAt);
    line.name = v.name;
    line.actDelete = chatting ? QString() : QStringLiteral("Delete");
    line.actBusy = request ? QStringLiteral("Busy") : QString();
    line.actInvite = inSite && !v.invited ? QStringLiteral("Invite") : QString();
    line.actBlockIp = QStringLiteral("BlockIP");
    line.actProPop = inSite ? QStringLiteral("Pro-Pop") : QString();
    line.page = v.page;
    line.colour = v.colour;
    lines.append(line.Fields().join(kSepField));
  }
  return lines.isEmpty() ? QStringLiteral("No Users Online") : lines.join(kSepLine);
}

QString CConsoleProtocol::OperatorEntries(Site& site, const OperatorState& viewer, qint64 now) const {
  QStringList entries;
  for (const OperatorState& op : site.operators) {
    const QString& name = op.account.loginId;
    QString chatId, state;
    if (!SameId(name, viewer.account.loginId)) {
      state = site.IsOnline(op, now) ? QStringLiteral("Initiate") : QString();
      for (const OperatorChat& c : site.operatorChats) {
        if (c.state == OperatorChat::Closed) continue;
        const bool viewerAsks = SameId(c.asker, viewer.account.loginId) && SameId(c.invitee, name);
        const bool entryAsks = SameId(c.asker, name) && SameId(c.invitee, viewer.account.loginId);
        if (!viewerAsks && !entryAsks) continue;
        chatId = c.id;
        if (c.state == OperatorChat::Pending)
          state = entryAsks ? QStringLiteral("op_chat") : QStringLiteral("chat_initiated");
        else
          state = entryAsks ? QStringLiteral("op_chat_picked") : QStringLiteral("Chatting");
        break;
      }
    }
    entries.append(QStringList{name, chatId, state,
                               site.IsOnline(op, now) ? QStringLiteral("Online") : QStringLiteral("Offline")}
                       .join(kSepSubField));
  }
  return entries.join(kSepField);
}

QString CConsoleProtocol::SoundFor(Site& site, OperatorState& viewer) const {
  // The transfer rings once; its notice stays until the chat is taken.
  if (!viewer.transferNotice.isEmpty() && !viewer.transferRung) {
    viewer.transferRung = true;
    return QStringLiteral("chat_tran_snd");
  }
  if (!viewer.manualOffline) {
    for (const Visitor& v : site.visitors)
      if (!v.departed && v.hasChat && v.chat.state == VisitorChat::Requested)
        return HasActiveChat(site, viewer.account.loginId) ? QStringLiteral("sound2") : QStringLiteral("sound1");
  }
  for (const Visitor& v : site.visitors)
    if (!v.departed && v.number >= viewer.firstUnseenVisitor) return QStringLiteral("NewVisitor");
  return QString();
}

QString CConsoleProtocol::Refresh(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("nsid"));
  OperatorState* viewer = site ? site->FindOperator(q.value("nadminid")) : nullptr;
  if (viewer == nullptr || !viewer->loggedIn) return QStringLiteral("logout");
  if (viewer->forcedOut) {
    viewer->forcedOut = false;
    viewer->loggedIn = false;
    return QStringLiteral("logout");
  }
  const qint64 now = m_state.Now();
  viewer->lastHeard = now;
  m_state.ForgetDeparted(*site);

  int total = 0, chats = 0;
  for (const Visitor& v : site->visitors) {
    if (v.departed) continue;
    ++total;
    if (v.hasChat && v.chat.state != VisitorChat::Closed) ++chats;
  }
  QString notice;
  // A chat handed over is offered at every refresh until its new operator
  // takes it (or it ends): an accept lost on the way is asked again.
  const Visitor* transferred = viewer->transferNotice.isEmpty() ? nullptr : site->FindVisitor(viewer->transferNotice);
  if (transferred == nullptr || transferred->departed || !transferred->hasChat ||
      transferred->chat.state == VisitorChat::Closed || !SameId(transferred->chat.transferTo, viewer->account.loginId))
    viewer->transferNotice.clear();
  const QString sound = SoundFor(*site, *viewer);
  if (!viewer->transferNotice.isEmpty()) {
    notice = QStringLiteral("chat_trans") + kSepField + viewer->transferNotice;
  } else {
    for (const OperatorMessage& m : site->messages)
      if (!m.read && SameId(m.to, viewer->account.loginId)) {
        notice = QStringLiteral("message");
        break;
      }
  }
  const QStringList blocks{VisitorLines(*site, q.value("conly") == QStringLiteral("Y"), now),
                           QString::number(total),
                           QString::number(chats),
                           sound,
                           notice,
                           OperatorEntries(*site, *viewer, now),
                           QString()};
  viewer->firstUnseenVisitor = site->nextVisitor;
  return blocks.join(kSepBlock);
}

QString CConsoleProtocol::Presence(const Query& q) {
  const QString action = q.value("action");
  if (action != QStringLiteral("lgon") && action != QStringLiteral("lgof")) return kInvalidRequest;
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  OperatorState* op = site ? site->FindOperator(q.value("adminid")) : nullptr;
  if (op == nullptr || !op->loggedIn) return QStringLiteral("offline");
  op->lastHeard = m_state.Now();
  op->manualOffline = action == QStringLiteral("lgof");
  return op->manualOffline ? QStringLiteral("offline") : QStringLiteral("online");
}

QString CConsoleProtocol::LogOut(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  OperatorState* op = site ? site->FindOperator(q.value("adminid")) : nullptr;
  if (op == nullptr) return QStringLiteral("false");
  m_state.LogOut(*site, *op);
  return QStringLiteral("true");
}

QString CConsoleProtocol::LogOutOther(const Query& q) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  OperatorState* op = site ? site->FindOperator(q.value("id2out")) : nullptr;
  if (op == nullptr || !op->loggedIn) return QStringLiteral("false");
  op->forcedOut = true;
  return QStringLiteral("true");
}

QString CConsoleProtocol::Messages(const Query& q) {
  const QString action = q.value("action");
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("sid"));
  const QString me = q.value("adminid");
  if (site == nullptr || site->FindOperator(me) == nullptr) return kInvalidRequest;
  if (action == QStringLiteral("save")) {
    const OperatorState* to = site->FindOperator(q.value("adid"));
    if (to == nullptr) return QStringLiteral("There is no operator %1.").arg(q.value("adid"));
    if (q.value("admsg").trimmed().isEmpty()) return QStringLiteral("The message is empty.");
    site->messages.append({site->FindOperator(me)->account.loginId, to->account.loginId, q.value("admsg"), false,
                           m_state.Now()});
    return QStringLiteral("Message sent to %1.").arg(to->account.loginId);
  }
  if (action != QStringLiteral("dsp") && action != QStringLiteral("dspall")) return kInvalidRequest;
  QStringList shown;
  bool unread = false;
  for (OperatorMessage& m : site->messages) {
    if (!SameId(m.to, me) || (action == QStringLiteral("dsp") && m.read)) continue;
    unread = unread || !m.read;
    m.read = true;
    shown.append(m.from + kSepLine + m.text);
  }
  if (shown.isEmpty()) shown.append(action == QStringLiteral("dsp") ? QStringLiteral("No new messages.")
                                                                     : QStringLiteral("No messages."));
  return shown.join(kSepField) + kSepBlock + (unread ? QStringLiteral("sound3") : QString());
}
