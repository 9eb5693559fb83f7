#pragma once

#include "OperatorEntry.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>

// The one list of the site's operators, from the last refresh reply: the
// model behind the Operators view ("Opeartors", spelled so, and "Status"),
// and the entries of the operators boxes. Rows are in reply order.
class COperatorList : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { ColName, ColStatus, kColumnCount };

  explicit COperatorList(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  const QList<OperatorEntry>& Entries() const { return m_entries; }
  // Replaces the entries; when the same operators come back in the same
  // order, only the changed cells are announced, so a view keeps its place.
  void SetEntries(QList<OperatorEntry> entries);
  // The row of the operator with this login id (compared without regard to
  // case), or -1.
  int Find(const QString& name) const;

  // What the Operators view's Status column shows for the entry.
  static QString StatusText(const OperatorEntry& entry);
  // The colour of a Status cell: "Online" green; "Offline", an
  // empty status, a chat request and a running chat red; anything else black.
  static QColor StatusColour(const QString& status);

 private:
  QList<OperatorEntry> m_entries;
};
