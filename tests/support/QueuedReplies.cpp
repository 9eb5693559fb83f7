#include "QueuedReplies.h"

#include <httplib.h>

CScriptedServer::Reply CQueuedReplies::Next(const httplib::Request& request) {
  const std::lock_guard<std::mutex> hold(m_lock);
  const std::string script = request.path.substr(request.path.rfind('/') + 1);
  auto queued = m_queued.find(script);
  if (queued != m_queued.end() && !queued->second.empty()) {
    CScriptedServer::Reply reply = std::move(queued->second.front());
    queued->second.pop_front();
    return reply;
  }
  const auto standing = m_standing.find(script);
  return standing != m_standing.end() ? standing->second : CScriptedServer::Reply{};
}
