#pragma once

#include "OperatorEntry.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The one list of the site's operators, from the last refresh reply: the
// model behind the Operators view ("Opeartors", spelled so, and "Status"),
// and the entries of the operators boxes. Rows are in reply order. The
// model answers text and the typed status; colours are the console's.
class COperatorList : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { ColName, ColStatus, kColumnCount };
  // What the Status column says, by kind.
  enum class Status { Online, Offline, ChatRequest, Chatting, ChatInitiated, Other };
  enum Role { StatusRole = Qt::UserRole + 1 };  // int: the entry's Status

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

  // What the Operators view's Status column shows for the entry, and its kind.
  static QString StatusText(const OperatorEntry& entry);
  static Status StatusOf(const OperatorEntry& entry);

 signals:
  // Around every SetEntries, before the first entry changes and after the
  // last: a view puts its selection back on its operator in between.
  void RowsReplacing();
  void RowsReplaced();

 private:
  QList<OperatorEntry> m_entries;
};
