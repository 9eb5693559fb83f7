#include "OperatorList.h"

COperatorList::COperatorList(QObject* parent) : QAbstractTableModel(parent) {}

int COperatorList::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_entries.size()); }

int COperatorList::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }


QVariant COperatorList::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= m_entries.size()) return {};
  const OperatorEntry& entry = m_entries.at(index.row());
  if (role == Qt::DisplayRole) return index.column() == ColName ? entry.name : StatusText(entry);
  if (role == StatusRole) return int(StatusOf(entry));
  return {};
}

QVariant COperatorList::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == ColName ? QStringLiteral("Opeartors") : QStringLiteral("Status");
}

void COperatorList::SetEntries(QList<OperatorEntry> entries) {
  emit RowsReplacing();
  bool sameRows = entries.size() == m_entries.size();
  for (qsizetype i = 0; sameRows && i < entries.size(); ++i) sameRows = entries[i].name == m_entries[i].name;
  if (sameRows) {
    m_entries = std::move(entries);
    if (!m_entries.isEmpty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
  } else {
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
  }
  emit RowsReplaced();
}

int COperatorList::Find(const QString& name) const {
  for (int i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

COperatorList::Status COperatorList::StatusOf(const OperatorEntry& entry) {
  if (!entry.chatId.isEmpty()) {
    if (entry.HasChatRequest()) return Status::ChatRequest;
    if (entry.IsChatting()) return Status::Chatting;
    if (entry.IsChatInitiated()) return Status::ChatInitiated;
  }
  // The status field itself; an empty one counts as offline, and the
  // service may put a chat's state there too.
  if (entry.IsOnline()) return Status::Online;
  if (entry.status.isEmpty() || entry.IsOffline()) return Status::Offline;
  if (entry.StatusSaysChatting()) return Status::Chatting;
  if (entry.StatusSaysChatRequest()) return Status::ChatRequest;
  return Status::Other;
}

QString COperatorList::StatusText(const OperatorEntry& entry) {
  if (!entry.chatId.isEmpty()) {
    if (entry.HasChatRequest()) return QStringLiteral("Chat Request");
    if (entry.IsChatting()) return QStringLiteral("Chatting with:") + entry.name;
    if (entry.IsChatInitiated()) return QStringLiteral("Chat Initiated");
  }
  return entry.status;
}
