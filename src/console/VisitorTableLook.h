#pragma once

#include <QColor>
#include <QIdentityProxyModel>
#include <QPixmap>

class CVisitorTableModel;

// How the visitor table looks: the row pictures, the request's red, the
// row's own colour behind its first cell and the grey of a table that is no
// longer current, worked out from what the session's model says of a row.
// Everything else passes through unchanged.
class CVisitorTableLook : public QIdentityProxyModel {
  Q_OBJECT

 public:
  explicit CVisitorTableLook(CVisitorTableModel& visitors, QObject* parent = nullptr);

  QVariant data(const QModelIndex& index, int role) const override;

 private:
  // The background of the first cell: the row's colour when it reads
  // "#RRGGBB"; white for "#" alone and for anything that is no colour.
  static QColor RowColour(const QString& colour);
  // A cell's background, given the row's colour text (empty for none):
  // white or the row's colour on a light palette, the palette's base
  // (tinted) on a dark one.
  static QColor CellBackground(const QString& rowColour, int column);

  QPixmap m_rowImages[3];
};
