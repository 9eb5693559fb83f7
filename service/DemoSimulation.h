#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <mutex>
#include <thread>

class CServiceState;
struct Site;
struct Visitor;

// Keeps the demo site lively: visitors arrive, browse and leave; now and then
// one asks for a chat, writes plausible lines and answers the operator.
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
  int Pick(int n);

  CServiceState& m_state;
  unsigned m_nSeed;
  std::thread m_thread;
  std::mutex m_stopLock;
  std::condition_variable m_stopped;
  bool m_bStop = false;
};
