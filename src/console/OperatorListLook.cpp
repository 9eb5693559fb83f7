#include "OperatorListLook.h"

#include "ThemeColours.h"

#include <QGuiApplication>

COperatorListLook::COperatorListLook(COperatorList& operators, QObject* parent) : QIdentityProxyModel(parent) {
  setSourceModel(&operators);
}

QColor COperatorListLook::StatusColour(COperatorList::Status status) {
  switch (status) {
    case COperatorList::Status::Online: return QColor(10, 192, 10);
    case COperatorList::Status::Offline:
    case COperatorList::Status::ChatRequest:
    case COperatorList::Status::Chatting: return QColor(210, 0, 0);
    default: return QColor(Qt::black);
  }
}

QVariant COperatorListLook::data(const QModelIndex& index, int role) const {
  if (role != Qt::ForegroundRole && role != Qt::BackgroundRole) return QIdentityProxyModel::data(index, role);
  const QModelIndex entry = mapToSource(index);
  if (!entry.isValid()) return QVariant();
  // Worked out at every paint, so a new palette shows at the next one.
  const QPalette pal = QGuiApplication::palette();
  const QColor background = ThemeColours::Surface(Qt::white, pal.color(QPalette::Base), pal);
  if (role == Qt::BackgroundRole) return background;
  const QColor text = index.column() == COperatorList::ColStatus
                          ? StatusColour(COperatorList::Status(entry.data(COperatorList::StatusRole).toInt()))
                          : QColor(Qt::black);
  return ThemeColours::Readable(text, background, pal);
}
