#include "OperatorBox.h"

#include <QComboBox>
#include <QStringList>

void RefillOperatorBox(QComboBox* box, const QList<OperatorEntry>& operators, const QString& ownLoginId,
                       OperatorBoxStart start) {
  QStringList shown, names;
  QList<bool> offline;
  // The operators who can answer first, in the service's order; the others
  // after them, each saying why.
  for (const bool online : {true, false}) {
    for (const OperatorEntry& entry : operators) {
      if (entry.IsOnline() != online || entry.name.compare(ownLoginId, Qt::CaseInsensitive) == 0) continue;
      shown.append(entry.name + QStringLiteral(" (") + entry.status + u')');
      names.append(entry.name);
      offline.append(entry.IsOffline());
    }
  }
  bool same = shown.size() == box->count();
  for (int i = 0; same && i < shown.size(); ++i) same = box->itemText(i) == shown[i];
  if (same) return;
  const bool wasEmpty = box->count() == 0;
  const QString chosen = box->currentData().toString();
  box->clear();
  for (int i = 0; i < shown.size(); ++i) {
    box->addItem(shown[i], names[i]);
    box->setItemData(i, offline[i], kOperatorOfflineRole);
  }
  const bool first = start == OperatorBoxStart::FirstOperator && !shown.isEmpty();
  box->setCurrentIndex(wasEmpty || chosen.isEmpty() ? (first ? 0 : -1) : box->findData(chosen));
}
