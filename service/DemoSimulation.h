#pragma once

#include <QString>
#include <QtGlobal>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class CServiceState;
struct OperatorChat;
struct OperatorState;
struct Site;
struct Visitor;

// Keeps the demo site lively: visitors arrive, browse and leave; now and then
// one asks for a chat, writes plausible lines and answers the operator. A
// colleague, the site's operator "ben" while no console is logged in as him,
// comes and goes, asks the operators for a chat now and then, chats a little
// and leaves them messages.
class CDemoSimulation {
 public:
  CDemoSimulation(CServiceState& state, unsigned seed);
  ~CDemoSimulation();

  void Start();
  void Stop();
  // One second of the site's life; the caller holds the state's lock.
  void Step(Site& site);

 private:
  void Run();
  void StepChat(Site& site, Visitor& v, qint64 now);
  // What the simulated colleague is doing on one site.
  struct Colleague {
    qint64 since = -1;     // logged in or out at; -1 before the first step
    qint64 stayFor = 0;    // the least time he stays so
    qint64 nextChatAt = 0;  // no chat request of his before then
    qint64 nextMessageAt = 0;
    QString chatId;        // the operator chat he is in, asks for or is asked for
    qint64 chatMark = 0;   // asked, accepted, began typing or wrote, whichever came last
    bool running = false;  // the chat has been accepted
    bool typing = false;
    qint64 typeFor = 0;    // how long he types a line
    int written = 0;       // lines he wrote in the chat
  };
  void StepColleague(Site& site, qint64 now);
  void StepColleagueChat(Site& site, OperatorState& op, Colleague& me, qint64 now);
  void EndColleagueChat(OperatorChat* chat, Colleague& me, qint64 now);
  // An operator of the site other than op who is online, or null.
  const OperatorState* PickOnlineColleague(Site& site, const OperatorState& op, qint64 now);
  int Pick(int n);
  qint64 PickMs(int fromSeconds, int toSeconds);

  CServiceState& m_state;
  unsigned m_nSeed;
  std::thread m_thread;
  std::mutex m_stopLock;
  std::condition_variable m_stopped;
  bool m_bStop = false;
  std::map<QString, Colleague> m_colleagues;  // by site id
};
