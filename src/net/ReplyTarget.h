#pragma once

#include <QString>

// A window that receives the replies of its asynchronous requests. The
// handler runs on the user-interface thread while the request's worker
// waits; the text is valid only during the call.
class CReplyWindow {
 public:
  virtual ~CReplyWindow() = default;
  virtual void HandleServerReply(int nType, const QString& strReply) = 0;
};

// The receiver of the visitor-action replies (types 9 to 11). It lives as
// long as the console, not as long as one refresh's visitor rows.
class CActionReplyReceiver {
 public:
  virtual ~CActionReplyReceiver() = default;
  virtual void OnReply(int nType, const QString& strReply) = 0;
};
