#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct PushUrl {
  QString title;
  QString url;
};

struct CannedResponse {
  QString category;
  QString title;
  QString text;
};

// The account's push URLs and canned responses, from the canned-lists
// reply: two blocks, records cut by "<fld>", fields by "<ln>". A record
// with too few fields is left out; the others keep their order.
struct CannedLists {
  bool wellFormed = false;  // two blocks
  QList<PushUrl> pushUrls;
  QList<CannedResponse> responses;

  static CannedLists Parse(const QString& reply);
};

// Text folded for finding: lower case, accents dropped ("Café" finds "cafe").
QString FoldedForSearch(const QString& text);
// Every word of the filter occurs in one of the texts (folded).
bool MatchesFilter(const QStringList& foldedWords, const QStringList& texts);
