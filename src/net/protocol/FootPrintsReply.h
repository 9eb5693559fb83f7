#pragma once

#include <QList>
#include <QString>

// One page of a visitor's foot prints: the page ends at the first space,
// the time spent on it follows the first colon after that ("URL Time:H:MM:SS").
// Either may be empty: a piece without a space has neither.
struct FootPrint {
  QString page;
  QString duration;

  static FootPrint FromPiece(const QString& piece);
};

// The foot-prints reply: the pages one visitor visited, cut by "<fld>", in
// the order the service lists them. An empty reply or a failed request
// gives no pages and is not well formed.
struct FootPrintsReply {
  bool wellFormed = false;
  QList<FootPrint> pages;

  static FootPrintsReply Parse(const QString& reply);
};
