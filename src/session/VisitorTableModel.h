#pragma once

#include "SiteVisitor.h"

#include <QAbstractTableModel>
#include <QList>

// The visitor table: one row per visitor of the last refresh, in reply
// order, never sorted. Columns read Visitor (address and pages viewed),
// Status, Duration, Name, Page. A refresh replaces the rows in place, so
// the view neither flickers nor loses its scroll position. The model
// answers text and typed roles; how a row looks (its picture, colours) is
// the console's business.
class CVisitorTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { ColVisitor, ColStatus, ColDuration, ColName, ColPage, kColumnCount };
  enum Role {
    PictureRole = Qt::UserRole + 1,  // int: the row's picture, as RowImage
    ChatRequestRole,                 // bool: the visitor asks for a chat
    RowColourRole,                   // QString: the row's colour text, empty when it has none
    StaleRole,                       // bool: the table is no longer current
  };

  explicit CVisitorTableModel(QObject* parent = nullptr);

  // The width of each column as a share of the table's width.
  static double ColumnShare(int column);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  const QList<CSiteVisitor>& Visitors() const { return m_visitors; }
  void SetVisitors(QList<CSiteVisitor> visitors);
  void Clear() { SetVisitors({}); }
  // Rows that are no longer current (the refresh fails) stay until the
  // next table.
  void SetStale(bool bStale);
  bool IsStale() const { return m_bStale; }
  // Caches details in the visitor's row, if the visitor is still listed.
  void SetDetails(const QString& sessionId, const VisitorDetails& details);
  // The row of a session id, or nullptr; valid until the rows change.
  const CSiteVisitor* Find(const QString& sessionId) const;

  // The row image: 0 for a chat request, 1 for a highlighted row, 2 otherwise.
  static int RowImage(const CSiteVisitor& visitor);
  static QString CellText(const VisitorLine& line, int column);

 signals:
  // Around every SetVisitors, before the first row changes and after the
  // last: a view puts its selection back on its visitor in between, so
  // that it is in place before anyone hears of the refresh.
  void RowsReplacing();
  void RowsReplaced();

 private:
  // Rows replaced by a refresh are freed on another thread from this many on.
  static constexpr qsizetype kReleaseElsewhereRows = 5000;
  static void ReleaseElsewhere(QList<CSiteVisitor> rows);

  QList<CSiteVisitor> m_visitors;
  bool m_bStale = false;
};
