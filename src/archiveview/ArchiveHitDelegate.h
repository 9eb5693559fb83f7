#pragma once

#include "ArchiveRecords.h"

#include <QStyledItemDelegate>

// Draws a found chat in the search window's list: its visitor and date,
// then its matching lines with the searched words highlighted. The item
// keeps the same as plain text for screen readers and copying, and as
// rich text under kRichTextRole, built here from the archive's records.
class CArchiveHitDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int kRichTextRole = Qt::UserRole + 10;
  static const QColor kMarkColour;

  using QStyledItemDelegate::QStyledItemDelegate;

  // Every text of the archive is escaped: a line's text is data, never markup.
  static QString RichText(const ArchiveHit& hit);
  static QString PlainText(const ArchiveHit& hit);
  // The line's text with its marks highlighted, escaped.
  static QString MarkedLine(const ArchiveLine& line);
  // "Visitor name (e-mail)" or the colleague of an operator chat.
  static QString Who(const ArchiveChat& chat);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
