#include "ServiceState.h"

#include "Separators.h"

#include <QStringList>

#include <chrono>

namespace {

qint64 SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

const char* const kBrowsers[] = {"Firefox 132", "Chrome 131", "Safari 18", "Edge 131"};
const char* const kSystems[] = {"Windows 11", "macOS 15", "Linux", "Android 15", "iOS 18"};
const char* const kScreens[] = {"1920x1080 / 24 bit", "2560x1440 / 32 bit", "1366x768 / 24 bit", "390x844 / 32 bit",
                                "1440x900 / 32 bit"};
const char* const kReferrers[] = {"https://www.search.example/?q=leather+bags", "https://news.example.org/deals",
                                  "https://social.example/p/48213", "https://www.search.example/?q=shop"};
const char* const kCountries[][7] = {
    {"Germany", "Bavaria", "Munich", "German", "Euro", "84,000,000", "de-DE"},
    {"United States", "Oregon", "Portland", "English", "US Dollar", "335,000,000", "en-US"},
    {"France", "Brittany", "Rennes", "French", "Euro", "68,000,000", "fr-FR"},
    {"Japan", "Kanto", "Tokyo", "Japanese", "Yen", "124,000,000", "ja-JP"},
    {"Brazil", "Parana", "Curitiba", "Portuguese", "Real", "216,000,000", "pt-BR"},
};

}  // namespace

QString Visitor::Status() const {
  if (hasChat && chat.state == VisitorChat::Requested) return QStringLiteral("Chat Request");
  if (hasChat && chat.state == VisitorChat::Active) return QStringLiteral("Chatting with: ") + chat.operatorId;
  return QStringLiteral("In Site");
}

OperatorState* Site::FindOperator(const QString& loginId) {
  for (OperatorState& op : operators)
    if (SameId(op.account.loginId, loginId)) return &op;
  return nullptr;
}

Visitor* Site::FindVisitor(const QString& sessionId) {
  for (Visitor& v : visitors)
    if (v.sessionId == sessionId) return &v;
  return nullptr;
}

OperatorChat* Site::FindOperatorChat(const QString& id) {
  for (OperatorChat& c : operatorChats)
    if (c.id == id) return &c;
  return nullptr;
}

bool Site::IsOnline(const OperatorState& op, qint64 now) const {
  // Not heard from for three console periods counts as gone.
  return op.loggedIn && !op.manualOffline && op.lastHeard >= 0 &&
         now - op.lastHeard <= 3 * 1000 * qint64(config.consolePeriod);
}

CServiceState::CServiceState(CServiceConfig cfg) : config(std::move(cfg)), random(20261208), m_nStartMs(SteadyMs()), m_startWall(QDateTime::currentDateTime()) {
  for (const SiteConfig& sc : config.sites) {
    Site site;
    site.config = sc;
    for (const OperatorAccount& account : sc.operators) {
      OperatorState op;
      op.account = account;
      site.operators.append(op);
    }
    sites.append(site);
  }
}

qint64 CServiceState::Now() const {
  const qint64 manual = m_nManualNow;
  return manual >= 0 ? manual : SteadyMs() - m_nStartMs;
}

Site* CServiceState::FindSite(const QString& id) {
  for (Site& s : sites)
    if (s.config.id == id) return &s;
  return nullptr;
}

Visitor* CServiceState::FindChatVisitor(const QString& sessionId, Site** site) {
  for (Site& s : sites)
    if (Visitor* v = s.FindVisitor(sessionId)) {
      if (site) *site = &s;
      return v;
    }
  return nullptr;
}

OperatorChat* CServiceState::FindOperatorChat(const QString& id, Site** site) {
  for (Site& s : sites)
    if (OperatorChat* c = s.FindOperatorChat(id)) {
      if (site) *site = &s;
      return c;
    }
  return nullptr;
}

QString CServiceState::AddVisitor(Site& site, const QString& name, const QString& ip, const QString& page) {
  if (site.blockedIps.contains(ip)) return QString();
  Visitor v;
  v.number = site.nextVisitor++;
  v.sessionId = QStringLiteral("%1%2").arg(site.config.id).arg(v.number, 5, 10, QLatin1Char('0'));
  v.ip = ip;
  v.name = name;
  v.page = page.isEmpty() ? site.config.address + QStringLiteral("/index.html") : page;
  v.arrivedAt = Now();
  v.colour.clear();  // no highlight
  v.footprints.append({v.page, v.arrivedAt});
  const auto pick = [this](int n) { return int(random() % unsigned(n)); };
  const auto& place = kCountries[pick(5)];
  const QString browser = QString::fromLatin1(kBrowsers[pick(4)]);
  const QString system = QString::fromLatin1(kSystems[pick(5)]);
  v.details = {
      v.page,
      browser,
      system,
      pick(3) ? QString::fromLatin1(kReferrers[pick(4)]) : QString(),
      QString::fromLatin1(kScreens[pick(5)]),
      pick(4) ? QStringLiteral("Enabled") : QStringLiteral("Disabled"),
      QStringLiteral("GMT %1%2:00").arg(pick(2) ? "+" : "-").arg(pick(10)),
      QString::fromLatin1(place[3]) + QStringLiteral(" (") + QString::fromLatin1(place[6]) + ")",
      QString::fromLatin1(place[0]),
      QString::fromLatin1(place[1]),
      QString::fromLatin1(place[2]),
      QStringLiteral("Mozilla/5.0 (%1) %2").arg(system, browser),
      QStringLiteral("host-%1.isp.example.net").arg(QString(ip).replace(u'.', u'-')),
      name,
      QString(),
      QStringLiteral("Cart: %1 items").arg(pick(4)),
      QString::fromLatin1(place[3]),
      QString::fromLatin1(place[4]),
      QString::fromLatin1(place[5]),
  };
  site.visitors.append(v);
  return v.sessionId;
}

void CServiceState::AppendLine(QList<ChatLine>& lines, const QString& text, bool fromVisitor, const QString& sender,
                               qint64 now) {
  // Line numbers start at 2: a console that has seen nothing yet asks with
  // lastnum=1.
  const int number = lines.isEmpty() ? 2 : lines.last().number + 1;
  lines.append({number, text, fromVisitor, sender, now});
}

QString CServiceState::PollBlocks(const QList<ChatLine>& lines, int lastNum,
                                 const std::function<bool(const ChatLine&)>& rings) {
  QStringList fresh;
  bool sound = false;
  for (const ChatLine& line : lines)
    if (line.number > lastNum) {
      fresh.append(line.text);
      sound = sound || rings(line);
    }
  const QString newest = lines.isEmpty() ? QStringLiteral("1") : QString::number(lines.last().number);
  return QStringList{fresh.join(kSepChatLine), newest, QStringLiteral("open"), sound ? QStringLiteral("sound4") : QString()}
      .join(kSepChatBlock);
}

QString CServiceState::ClosedBlocks(const QString& notice) { return notice + kSepChatBlock + kSepChatBlock + kSepChatBlock; }

void CServiceState::CloseChat(Site& site, Visitor& visitor, const QString& notice) {
  if (!visitor.hasChat || visitor.chat.state == VisitorChat::Closed) return;
  if (!visitor.chat.lines.isEmpty())
    site.archive.append({visitor.name, visitor.ip, visitor.chat.operatorId, Now(), visitor.chat.lines});
  visitor.chat.state = VisitorChat::Closed;
  visitor.chat.closedNotice = notice;
  visitor.chat.visitorTyping = false;
  visitor.earlierChats = true;
}

void CServiceState::RemoveVisitor(Site& site, const QString& sessionId, const QString& notice) {
  for (qsizetype i = 0; i < site.visitors.size(); ++i) {
    Visitor& v = site.visitors[i];
    if (v.sessionId != sessionId || v.departed) continue;
    if (!v.hasChat) {
      site.visitors.removeAt(i);
      return;
    }
    CloseChat(site, v, notice);
    v.departed = true;
    v.departedAt = Now();
    return;
  }
}

void CServiceState::ForgetDeparted(Site& site) {
  const qint64 now = Now();
  site.visitors.removeIf([now](const Visitor& v) { return v.departed && now - v.departedAt > 10 * 60 * 1000; });
}

void CServiceState::LogOut(Site& site, OperatorState& op) {
  op.loggedIn = false;
  op.forcedOut = false;
  op.simulated = false;
  op.lastHeard = -1;
  const QString& id = op.account.loginId;
  for (Visitor& v : site.visitors)
    if (v.hasChat && v.chat.state == VisitorChat::Active && SameId(v.chat.operatorId, id))
      CloseChat(site, v, kClosedByOperator);
  for (OperatorChat& c : site.operatorChats)
    if (SameId(c.asker, id) || SameId(c.invitee, id)) c.state = OperatorChat::Closed;
}

OperatorChat& CServiceState::OpenOperatorChat(Site& site, const QString& asker, const QString& invitee) {
  for (OperatorChat& c : site.operatorChats)
    if (c.state != OperatorChat::Closed && ((SameId(c.asker, asker) && SameId(c.invitee, invitee)) ||
                                            (SameId(c.asker, invitee) && SameId(c.invitee, asker))))
      return c;
  OperatorChat chat;
  chat.id = QStringLiteral("op%1-%2").arg(site.config.id).arg(site.nextOperatorChat++);
  chat.asker = asker;
  chat.invitee = invitee;
  site.operatorChats.append(chat);
  return site.operatorChats.last();
}
