#pragma once

#include <QString>

// The reply to the login request: three fields, the result ("true" when
// the login is accepted, else a word that says why not: "false",
// "incorrect", "already" or another), "ADM" for an administrator, and the
// customer's web site address. A reply of any other field count has no
// result and is not well formed.
struct LoginReply {
  bool wellFormed = false;
  QString result;
  bool admin = false;
  QString siteAddress;

  bool IsAccepted() const;

  static LoginReply Parse(const QString& reply);
};
