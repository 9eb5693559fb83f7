#pragma once

#include "ScriptedServer.h"

#include <QString>

#include <deque>
#include <map>
#include <mutex>
#include <string>

// Replies a test queues per script of the service ("wn-opachats.php"): a
// request to a script takes the next reply queued for it, or the script's
// standing reply once none is queued (200 and nothing, unless set). The
// server asks from its own thread, the test queues from the test's.
class CQueuedReplies {
 public:
  void Queue(const std::string& script, const QString& body) { Queue(script, CScriptedServer::Reply{200, body.toStdString()}); }
  void Queue(const std::string& script, CScriptedServer::Reply reply) {
    const std::lock_guard<std::mutex> hold(m_lock);
    m_queued[script].push_back(std::move(reply));
  }
  void Stand(const std::string& script, CScriptedServer::Reply reply) {
    const std::lock_guard<std::mutex> hold(m_lock);
    m_standing[script] = std::move(reply);
  }
  void Clear() {
    const std::lock_guard<std::mutex> hold(m_lock);
    m_queued.clear();
    m_standing.clear();
  }
  // The server's script; this object must outlive the server's requests.
  CScriptedServer::Script Script() {
    return [this](const httplib::Request& request) { return Next(request); };
  }

 private:
  CScriptedServer::Reply Next(const httplib::Request& request);

  std::mutex m_lock;
  std::map<std::string, std::deque<CScriptedServer::Reply>> m_queued;
  std::map<std::string, CScriptedServer::Reply> m_standing;
};
