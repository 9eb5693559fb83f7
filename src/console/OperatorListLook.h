#pragma once

#include "OperatorList.h"

#include <QColor>
#include <QIdentityProxyModel>

// How the Operators view looks: white cells, names in black and each
// status in its colour, worked out from the status's kind the session's
// list gives, never from the words shown. Everything else passes through.
class COperatorListLook : public QIdentityProxyModel {
  Q_OBJECT

 public:
  explicit COperatorListLook(COperatorList& operators, QObject* parent = nullptr);

  QVariant data(const QModelIndex& index, int role) const override;

 private:
  // The colour of a Status cell of this kind: online green; offline, a chat
  // request and a running chat red; anything else black.
  static QColor StatusColour(COperatorList::Status status);
};
