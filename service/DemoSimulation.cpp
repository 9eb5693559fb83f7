#include "DemoSimulation.h"

#include "ServiceState.h"

#include <QStringList>

#include <chrono>

namespace {

const char* const kNames[] = {"Maria", "John", "Akiko", "Pedro", "Fatima", "Lena", "Omar", "Chloe", "Ivan", "Grace"};
const char* const kPages[] = {"/index.html",       "/products/shoes.html", "/products/bags.html", "/offers.html",
                              "/cart.html",        "/shipping.html",       "/contact.html",       "/products/hats.html",
                              "/checkout.html",    "/about.html"};
const char* const kOpenings[] = {
    "Hello! Do you ship to Canada?", "Hi, I have a question about my order.",
    "Hello, are the leather bags in stock?", "Hi there! Can I still change my delivery address?",
    "Good morning, how long does delivery take?"};
const char* const kAnswers[] = {
    "Thanks, that is good to know [:)]", "My order number is 100482.", "Yes, the brown one in size M.",
    "I see. And what about returns? [:-?]", "Great, I will order it today [:D]",
    "Is it this one? http://www.example-shop.com/products/bags.html", "OK, let me check that on my side.",
    "That sounds perfect [B-)]"};
const char* const kGoodbyes[] = {"Thank you very much, bye! [:)]", "That helps a lot. Have a nice day!",
                                 "Perfect, thanks for your help. Bye! [;)]"};

// The colleague's side of a chat with another operator, and his messages.
const char* const kColleagueId = "ben";
const char* const kColleagueOpenings[] = {
    "Hi %1, do you have a minute?", "Hello %1! Quick question about the shoe orders.",
    "Hi %1, are you busy right now?"};
const char* const kColleagueAnswers[] = {
    "Thanks, that helps.", "OK, I will tell the visitor that delivery takes three days.",
    "Good idea. The returns page is http://www.example-shop.com/shipping.html by the way.",
    "Right, I will take the next chat request then.", "Agreed [:)]"};
const char* const kColleagueGoodbyes[] = {"Great, thanks %1. Back to the visitors!", "Perfect, talk to you later, %1.",
                                          "Thanks %1, that is all for now. Bye!"};
const char* const kColleagueMessages[] = {
    "Could you take the next chat request? I am on the phone.", "Reminder: the spring sale starts on Monday.",
    "The leather bags are sold out until next week.", "I will be away for ten minutes.",
    "A customer from Munich called to thank you for yesterday's chat."};

constexpr qint64 kSecond = 1000;
constexpr qint64 kMinute = 60 * kSecond;

template <size_t N>
QString Any(const char* const (&list)[N], int i) {
  return QString::fromLatin1(list[size_t(i) % N]);
}

}  // namespace

CDemoSimulation::CDemoSimulation(CServiceState& state, unsigned seed) : m_state(state), m_nSeed(seed) {}

CDemoSimulation::~CDemoSimulation() { Stop(); }

void CDemoSimulation::Start() {
  m_state.random.seed(m_nSeed);
  m_thread = std::thread([this] { Run(); });
}

void CDemoSimulation::Stop() {
  {
    std::lock_guard<std::mutex> guard(m_stopLock);
    m_bStop = true;
  }
  m_stopped.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void CDemoSimulation::Run() {
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(m_stopLock);
      if (m_stopped.wait_for(guard, std::chrono::seconds(1), [this] { return m_bStop; })) return;
    }
    std::lock_guard<std::mutex> guard(m_state.lock);
    for (Site& site : m_state.sites) Step(site);
  }
}

int CDemoSimulation::Pick(int n) { return int(m_state.random() % unsigned(n)); }

qint64 CDemoSimulation::PickMs(int fromSeconds, int toSeconds) {
  return (fromSeconds + Pick(toSeconds - fromSeconds + 1)) * kSecond;
}

void CDemoSimulation::Step(Site& site) {
  const qint64 now = m_state.Now();
  int present = 0, waiting = 0, chatting = 0;
  for (const Visitor& v : site.visitors) {
    if (v.departed) continue;
    ++present;
    if (v.hasChat && v.chat.state == VisitorChat::Requested) ++waiting;
    if (v.hasChat && v.chat.state == VisitorChat::Active) ++chatting;
  }
  // Arrivals: the site keeps between a handful and a dozen visitors.
  if (present < 5 || (present < 12 && Pick(8) == 0)) {
    const QString ip = QStringLiteral("%1.%2.%3.%4").arg(80 + Pick(120)).arg(Pick(256)).arg(Pick(256)).arg(1 + Pick(254));
    const QString id = m_state.AddVisitor(site, QString(), ip, site.config.address + Any(kPages, Pick(10)));
    if (Visitor* v = site.FindVisitor(id)) {
      v->visits = 1 + Pick(3);
      if (Pick(4) == 0) v->colour = QStringLiteral("#CCE8FF");  // a returning customer
      v->earlierChats = Pick(5) == 0;
      // Most arrive having looked at a page or two already.
      const int earlier = Pick(4);
      for (int i = 0; i < earlier; ++i) {
        v->arrivedAt -= 20000 + Pick(100000);
        v->footprints.prepend({site.config.address + Any(kPages, Pick(10)), v->arrivedAt});
      }
      v->visits += earlier;
    }
  }
  QStringList leaving;
  for (Visitor& v : site.visitors) {
    if (v.departed) continue;
    const qint64 age = now - v.arrivedAt;
    if (v.hasChat && v.chat.state != VisitorChat::Closed) {
      StepChat(site, v, now);
      continue;
    }
    if (Pick(15) == 0) {
      v.page = site.config.address + Any(kPages, Pick(10));
      ++v.visits;
      v.footprints.append({v.page, now});
    }
    if (age > 60000 && Pick(200) == 0) leaving.append(v.sessionId);
    // Now and then somebody who has looked around asks for a chat.
    else if (age > 15000 && waiting == 0 && chatting < 3 && Pick(60) == 0) {
      v.name = v.name.isEmpty() ? Any(kNames, Pick(10)) : v.name;
      v.email = v.name.toLower() + QStringLiteral("@mail.example");
      v.chat = VisitorChat();
      v.chat.requestedAt = now;
      v.hasChat = true;
      ++waiting;
    }
  }
  for (const QString& id : leaving) m_state.RemoveVisitor(site, id, kClosedByUser);
  StepColleague(site, now);
}

const OperatorState* CDemoSimulation::PickOnlineColleague(Site& site, const OperatorState& op, qint64 now) {
  QList<const OperatorState*> online;
  for (const OperatorState& other : site.operators)
    if (&other != &op && site.IsOnline(other, now)) online.append(&other);
  return online.isEmpty() ? nullptr : online[Pick(int(online.size()))];
}

void CDemoSimulation::StepColleague(Site& site, qint64 now) {
  OperatorState* op = site.FindOperator(QString::fromLatin1(kColleagueId));
  if (op == nullptr) return;
  Colleague& me = m_colleagues[site.config.id];
  if (me.since < 0) {
    // He comes in soon after the demo starts, so that there is someone to see.
    me.since = now;
    me.stayFor = PickMs(5, 30);
  }
  if (!op->simulated) {
    if (op->loggedIn) {
      // A console is logged in as him: he is not ours until it leaves.
      me = Colleague();
      me.since = now;
      me.stayFor = PickMs(60, 180);
      return;
    }
    if (now - me.since < me.stayFor) return;
    op->loggedIn = true;
    op->simulated = true;
    op->manualOffline = false;
    op->forcedOut = false;
    op->lastHeard = now;
    op->transferNotice.clear();
    me = Colleague();
    me.since = now;
    me.stayFor = PickMs(8 * 60, 16 * 60);
    me.nextChatAt = now + PickMs(60, 120);
    me.nextMessageAt = now + PickMs(90, 180);
    return;
  }
  // An administrator's log-out, or time to go once no chat holds him.
  if (op->forcedOut || (now - me.since >= me.stayFor && me.chatId.isEmpty())) {
    m_state.LogOut(site, *op);
    me = Colleague();
    me.since = now;
    me.stayFor = PickMs(60, 180);
    return;
  }
  op->lastHeard = now;
  StepColleagueChat(site, *op, me, now);
  if (me.chatId.isEmpty() && now >= me.nextChatAt && Pick(60) == 0) {
    if (const OperatorState* other = PickOnlineColleague(site, *op, now)) {
      me.chatId = m_state.OpenOperatorChat(site, op->account.loginId, other->account.loginId).id;
      me.chatMark = now;
      me.nextChatAt = now + PickMs(3 * 60, 5 * 60);
    }
  }
  if (now >= me.nextMessageAt && Pick(60) == 0) {
    if (const OperatorState* other = PickOnlineColleague(site, *op, now)) {
      site.messages.append({op->account.loginId, other->account.loginId, Any(kColleagueMessages, Pick(5)), false, now});
      me.nextMessageAt = now + PickMs(4 * 60, 8 * 60);
    }
  }
}

void CDemoSimulation::EndColleagueChat(OperatorChat* chat, Colleague& me, qint64 now) {
  if (chat != nullptr) {
    chat->state = OperatorChat::Closed;
    chat->typingAt = -1;
  }
  me.chatId.clear();
  me.typing = false;
  me.written = 0;
  me.running = false;
  me.nextChatAt = std::max(me.nextChatAt, now + PickMs(2 * 60, 4 * 60));
}

void CDemoSimulation::StepColleagueChat(Site& site, OperatorState& op, Colleague& me, qint64 now) {
  const QString& myId = op.account.loginId;
  if (me.chatId.isEmpty()) {
    // Another operator asks him for a chat: he takes it after a few seconds.
    for (const OperatorChat& c : site.operatorChats)
      if (c.state == OperatorChat::Pending && SameId(c.invitee, myId)) {
        me.chatId = c.id;
        me.chatMark = now;
        break;
      }
    if (me.chatId.isEmpty()) return;
  }
  OperatorChat* chat = site.FindOperatorChat(me.chatId);
  if (chat == nullptr || chat->state == OperatorChat::Closed) return EndColleagueChat(nullptr, me, now);
  const QString other = SameId(chat->asker, myId) ? chat->invitee : chat->asker;
  if (chat->state == OperatorChat::Pending) {
    if (SameId(chat->invitee, myId)) {
      if (now - me.chatMark >= 4 * kSecond) {
        chat->state = OperatorChat::Active;
        me.running = true;
        me.chatMark = now;
      }
    } else if (now - me.chatMark > 2 * kMinute) {
      EndColleagueChat(chat, me, now);  // nobody took it up: he asks another time
    }
    return;
  }
  if (!me.running) {
    me.running = true;  // accepted since the last step
    me.chatMark = now;
  }
  const ChatLine* last = chat->lines.isEmpty() ? nullptr : &chat->lines.last();
  const qint64 quietSince = std::max(last ? last->at : 0, me.chatMark);
  const bool myTurn = last == nullptr || !SameId(last->sender, myId);
  const int goodbyeAt = 3;  // lines before the goodbye
  if (me.written > goodbyeAt) {
    if (now - quietSince >= 8 * kSecond) EndColleagueChat(chat, me, now);
    return;
  }
  if (!myTurn) {
    if (now - quietSince > 90 * kSecond) EndColleagueChat(chat, me, now);  // the other went quiet
    return;
  }
  if (!me.typing) {
    if (now - quietSince < 2 * kSecond) return;
    me.typing = true;
    me.typeFor = PickMs(3, 7);
    me.chatMark = now;
    chat->typingAt = now;
    return;
  }
  chat->typingAt = now;  // a typing notice lasts a few seconds only
  if (now - me.chatMark < me.typeFor) return;
  QString text;
  if (me.written == 0)
    text = Any(kColleagueOpenings, Pick(3)).arg(other);
  else if (me.written == goodbyeAt)
    text = Any(kColleagueGoodbyes, Pick(3)).arg(other);
  else
    text = Any(kColleagueAnswers, Pick(5));
  CServiceState::AppendLine(chat->lines, myId + QStringLiteral(": ") + text, false, myId, now);
  chat->typingAt = -1;
  me.typing = false;
  me.chatMark = now;
  ++me.written;
}

void CDemoSimulation::StepChat(Site& site, Visitor& v, qint64 now) {
  VisitorChat& chat = v.chat;
  if (chat.state == VisitorChat::Requested) {
    if (now - chat.requestedAt > 120000) v.hasChat = false;  // gave up waiting
    return;
  }
  int visitorLines = 0;
  for (const ChatLine& line : chat.lines) visitorLines += line.fromVisitor ? 1 : 0;
  const ChatLine* last = chat.lines.isEmpty() ? nullptr : &chat.lines.last();
  const bool ourTurn = last != nullptr && !last->fromVisitor;
  if (!ourTurn) {
    // The visitor said goodbye and nobody answered for a while: they leave.
    if (visitorLines >= 4 && last && now - last->at > 20000)
      m_state.CloseChat(site, v, kClosedByUser);
    return;
  }
  const qint64 waited = now - last->at;
  if (waited < 2000) return;
  if (!chat.visitorTyping) {
    chat.visitorTyping = true;  // a couple of seconds of typing first
    return;
  }
  if (waited < 4000 + Pick(3000)) return;
  chat.visitorTyping = false;
  QString text;
  if (visitorLines == 0)
    text = Any(kOpenings, Pick(5));
  else if (visitorLines >= 4)
    text = Any(kGoodbyes, Pick(3));
  else
    text = Any(kAnswers, Pick(8));
  CServiceState::AppendLine(chat.lines, v.name + QStringLiteral(": ") + text, true, QString(), now);
}
