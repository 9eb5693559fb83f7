#pragma once

#include <QString>

// The logged-in session as every window reads it: who is logged in where,
// with which rights, over which scheme, and how often the windows poll.
// The engine owns the one instance; the parameters exchange fills the
// periods, the login exchange the rest. Windows read it and keep no copies.
struct CSession {
  static constexpr int kDefaultPeriodMs = 8000;

  QString loginId;
  QString siteId;
  QString siteAddress;  // the third piece of the login reply
  bool admin = false;
  bool secure = false;
  int consolePeriodMs = kDefaultPeriodMs;
  int chatPeriodMs = kDefaultPeriodMs;
  int operChatPeriodMs = kDefaultPeriodMs;

  // "Y" for an administrator, else empty: the adm value of server pages.
  QString AdminFlag() const { return admin ? QStringLiteral("Y") : QString(); }
};
