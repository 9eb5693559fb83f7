#include "VisitorTableModel.h"

#include "OutsideText.h"

#include <QThreadPool>

#include <algorithm>

CVisitorTableModel::CVisitorTableModel(QObject* parent) : QAbstractTableModel(parent) {}

double CVisitorTableModel::ColumnShare(int column) {
  static const double kShares[kColumnCount] = {0.25, 0.15, 0.1, 0.12, 0.4};
  return column >= 0 && column < kColumnCount ? kShares[column] : 0.0;
}

int CVisitorTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(m_visitors.size());
}

int CVisitorTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString CVisitorTableModel::CellText(const VisitorLine& line, int column) {
  switch (column) {
    case ColVisitor: return line.ip + QStringLiteral(" - (") + line.visits + u')';
    case ColStatus: return line.status;
    case ColDuration: return line.duration;
    case ColName: return line.name;
    case ColPage: return line.page;
    default: return QString();
  }
}

int CVisitorTableModel::RowImage(const CSiteVisitor& visitor) {
  if (visitor.m_line.IsChatRequest()) return 0;
  return visitor.m_bHasColour ? 1 : 2;
}

QVariant CVisitorTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= m_visitors.size()) return QVariant();
  const CSiteVisitor& v = m_visitors[index.row()];
  switch (role) {
    case Qt::DisplayRole:
      return DisplayedField(CellText(v.m_line, index.column()));
    case Qt::ToolTipRole:
      // A visitor's name or page is text, never markup.
      return PlainToolTip(CellText(v.m_line, index.column()));
    case PictureRole:
      return RowImage(v);
    case ChatRequestRole:
      return v.m_line.IsChatRequest();
    case RowColourRole:
      return v.m_bHasColour ? v.m_line.colour : QString();
    case StaleRole:
      return m_bStale;
    default:
      return QVariant();
  }
}

QVariant CVisitorTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kTitles[kColumnCount] = {"Visitor  (P.Visits)", "Status", "Duration", "Name", "Page"};
  return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[section]) : QVariant();
}

void CVisitorTableModel::SetStale(bool bStale) {
  if (bStale == m_bStale) return;
  m_bStale = bStale;
  if (!m_visitors.isEmpty())
    emit dataChanged(index(0, 0), index(int(m_visitors.size()) - 1, kColumnCount - 1), {StaleRole});
}

void CVisitorTableModel::SetVisitors(QList<CSiteVisitor> visitors) {
  emit RowsReplacing();
  const int oldCount = int(m_visitors.size());
  const int newCount = int(visitors.size());
  const int common = std::min(oldCount, newCount);
  // Rows that stay are changed where they differ; the rest are removed or
  // added at the end.
  int firstChanged = -1, lastChanged = -1;
  for (int i = 0; i < common; ++i) {
    const CSiteVisitor& was = m_visitors.at(i);
    const CSiteVisitor& now = visitors.at(i);
    if (was.m_line == now.m_line && was.m_bHasColour == now.m_bHasColour) continue;
    if (firstChanged < 0) firstChanged = i;
    lastChanged = i;
  }
  if (newCount < oldCount) {
    beginRemoveRows(QModelIndex(), newCount, oldCount - 1);
    m_visitors.swap(visitors);
    endRemoveRows();
  } else if (newCount > oldCount) {
    beginInsertRows(QModelIndex(), oldCount, newCount - 1);
    m_visitors.swap(visitors);
    endInsertRows();
  } else {
    m_visitors.swap(visitors);
  }
  if (firstChanged >= 0) emit dataChanged(index(firstChanged, 0), index(lastChanged, kColumnCount - 1));
  emit RowsReplaced();
  ReleaseElsewhere(std::move(visitors));
}

void CVisitorTableModel::ReleaseElsewhere(QList<CSiteVisitor> rows) {
  // Freeing a hundred thousand rows takes longer than input may wait; the
  // rows are no one's but this list's, and their texts count references
  // atomically, so another thread may free them.
  if (rows.size() < kReleaseElsewhereRows || !rows.isDetached()) return;
  QThreadPool::globalInstance()->start([rows = std::move(rows)]() mutable { rows.clear(); });
}

void CVisitorTableModel::SetDetails(const QString& sessionId, const VisitorDetails& details) {
  for (CSiteVisitor& visitor : m_visitors)
    if (visitor.m_line.sessionId == sessionId) visitor.SetDetails(details);
}

const CSiteVisitor* CVisitorTableModel::Find(const QString& sessionId) const {
  for (const CSiteVisitor& visitor : m_visitors)
    if (visitor.m_line.sessionId == sessionId) return &visitor;
  return nullptr;
}
