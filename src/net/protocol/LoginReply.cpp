#include "LoginReply.h"

#include "Separators.h"
#include "ShortReplies.h"
#include "SplitReply.h"

bool LoginReply::IsAccepted() const { return IsConfirmed(result); }

LoginReply LoginReply::Parse(const QString& reply) {
  LoginReply r;
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() != 3) return r;
  r.wellFormed = true;
  r.result = pieces[0];
  r.admin = pieces[1] == QLatin1String("ADM");
  r.siteAddress = pieces[2];
  return r;
}
