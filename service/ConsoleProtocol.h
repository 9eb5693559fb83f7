#pragma once

#include "ServiceReply.h"

class CServiceState;
struct Site;
struct OperatorState;

// The console's own requests: parameters, login, the refresh, presence,
// log-out, operator messages and an administrator logging another operator
// out.
class CConsoleProtocol {
 public:
  explicit CConsoleProtocol(CServiceState& state) : m_state(state) {}

  // The host the parameters reply names when the config sets none.
  void SetAnnouncedHost(const QString& host) { m_strAnnouncedHost = host; }

  QString Parameters(const Query& q);
  QString Login(const Query& q);
  QString Refresh(const Query& q);
  QString Presence(const Query& q);
  QString LogOut(const Query& q);
  QString LogOutOther(const Query& q);
  QString Messages(const Query& q);

 private:
  QString VisitorLines(Site& site, bool chatsOnly, qint64 now) const;
  QString OperatorEntries(Site& site, const OperatorState& viewer, qint64 now) const;
  QString SoundFor(Site& site, OperatorState& viewer) const;

  CServiceState& m_state;
  QString m_strAnnouncedHost;
};

// "H:MM:SS" for a duration in milliseconds.
QString FormatDuration(qint64 ms);
