#include "VisitorDetails.h"

#include "Separators.h"
#include "SplitReply.h"

VisitorDetails VisitorDetails::Parse(const QString& reply) {
  // Reply piece of each field, in field order.
  static const int kPiece[kFieldCount] = {0, 1, 2, 3, 4, 5, 8, 9, 10, 6, 7, 12, 13, 14, 15, 16, 17, 18, 11};
  VisitorDetails details;
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() != kFieldCount) return details;
  for (int i = 0; i < kFieldCount; ++i) details.fields[size_t(i)] = pieces[kPiece[i]];
  details.wellFormed = true;
  return details;
}
