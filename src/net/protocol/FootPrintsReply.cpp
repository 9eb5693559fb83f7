#include "FootPrintsReply.h"

#include "Separators.h"
#include "SplitReply.h"

FootPrint FootPrint::FromPiece(const QString& piece) {
  FootPrint f;
  const qsizetype space = piece.indexOf(u' ');
  if (space < 0) return f;
  f.page = piece.left(space);
  const qsizetype colon = piece.indexOf(u':', space + 1);
  if (colon >= 0) f.duration = piece.mid(colon + 1);
  return f;
}

FootPrintsReply FootPrintsReply::Parse(const QString& reply) {
  FootPrintsReply r;
  if (reply.isEmpty() || reply == kDisconnect) return r;
  r.wellFormed = true;
  const QStringList pieces = SplitReply(reply, kSepField);
  r.pages.reserve(pieces.size());
  for (const QString& piece : pieces) r.pages.append(FootPrint::FromPiece(piece));
  return r;
}
