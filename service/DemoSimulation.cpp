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
