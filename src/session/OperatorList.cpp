#include "OperatorList.h"

#include "ThemeColours.h"

#include <QGuiApplication>

COperatorList::COperatorList(QObject* parent) : QAbstractTableModel(parent) {}

int COperatorList::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_entries.size()); }

int COperatorList::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }


QVariant COperatorList::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= m_entries.size()) return {};
  const OperatorEntry& entry = m_entries.at(index.row());
  if (role == Qt::DisplayRole) return index.column() == ColName ? entry.name : StatusText(entry);
  // Worked out at every paint, so a new palette shows at the next one.
  const QPalette pal = QGuiApplication::palette();
  const QColor background = ThemeColours::Surface(Qt::white, pal.color(QPalette::Base), pal);
  if (role == Qt::ForegroundRole)
    return ThemeColours::Readable(index.column() == ColStatus ? StatusColour(StatusText(entry)) : QColor(Qt::black),
                                  background, pal);
  if (role == Qt::BackgroundRole) return background;
  return {};
}

QColor COperatorList::StatusColour(const QString& status) {
  // A running chat shows as "Chatting with:<name>", a request as "Chat Request".
  if (status == QLatin1String("Online")) return QColor(10, 192, 10);
  if (status.isEmpty() || status == QLatin1String("Offline") || status.startsWith(QLatin1String("Chatting")) ||
      status.compare(QLatin1String("Chat request"), Qt::CaseInsensitive) == 0)
    return QColor(210, 0, 0);
  return QColor(Qt::black);
}

QVariant COperatorList::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == ColName ? QStringLiteral("Opeartors") : QStringLiteral("Status");
}

void COperatorList::SetEntries(QList<OperatorEntry> entries) {
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
}

int COperatorList::Find(const QString& name) const {
  for (int i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

QString COperatorList::StatusText(const OperatorEntry& entry) {
  if (!entry.chatId.isEmpty()) {
    if (entry.HasChatRequest()) return QStringLiteral("Chat Request");
    if (entry.IsChatPicked() || entry.chatState == QLatin1String("Chatting"))
      return QStringLiteral("Chatting with:") + entry.name;
    if (entry.chatState == QLatin1String("chat_initiated")) return QStringLiteral("Chat Initiated");
  }
  return entry.status;
}
