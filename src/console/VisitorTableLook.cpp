#include "VisitorTableLook.h"

#include "ResourceArt.h"
#include "ResourceIds.h"
#include "ThemeColours.h"
#include "VisitorTableModel.h"

#include <QGuiApplication>

#include <algorithm>
#include <cctype>

namespace {

const QColor kRequestText(210, 0, 0);
// Rows of a table that is no longer current: grey, still readable (the
// palette check below keeps 4.5:1 against the cell).
const QColor kStaleText(118, 118, 118);

}  // namespace

CVisitorTableLook::CVisitorTableLook(CVisitorTableModel& visitors, QObject* parent) : QIdentityProxyModel(parent) {
  const QPixmap strip = ResourceArt::Pixmap(ResourceArt::BitmapPath(IDB_ROW_IMAGES));
  for (int i = 0; i < 3; ++i) m_rowImages[i] = ResourceArt::StripPart(strip, i, 16);
  setSourceModel(&visitors);
  // A table going stale or current changes the text colour of every row.
  connect(&visitors, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
            if (roles.contains(CVisitorTableModel::StaleRole))
              emit dataChanged(mapFromSource(topLeft), mapFromSource(bottomRight), {Qt::ForegroundRole});
          });
}

QColor CVisitorTableLook::RowColour(const QString& colour) {
  const bool hex = colour.size() == 7 && colour.startsWith(u'#') &&
                   std::all_of(colour.begin() + 1, colour.end(), [](QChar c) { return std::isxdigit(c.toLatin1()); });
  if (!hex) return QColor(Qt::white);
  const uint rgb = QStringView(colour).mid(1).toUInt(nullptr, 16);
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QColor CVisitorTableLook::CellBackground(const QString& rowColour, int column) {
  // Asked at every paint, so a new palette shows at the next one.
  const QPalette pal = QGuiApplication::palette();
  const QColor light = column == CVisitorTableModel::ColVisitor ? RowColour(rowColour) : QColor(Qt::white);
  return ThemeColours::Surface(light, pal.color(QPalette::Base), pal);
}

QVariant CVisitorTableLook::data(const QModelIndex& index, int role) const {
  if (role != Qt::DecorationRole && role != Qt::ForegroundRole && role != Qt::BackgroundRole)
    return QIdentityProxyModel::data(index, role);
  const QModelIndex row = mapToSource(index);
  if (!row.isValid()) return QVariant();
  const int column = index.column();
  if (role == Qt::DecorationRole) {
    if (column != CVisitorTableModel::ColVisitor) return QVariant();
    const int picture = row.data(CVisitorTableModel::PictureRole).toInt();
    return picture >= 0 && picture < 3 ? QVariant(m_rowImages[picture]) : QVariant();
  }
  const QColor background = CellBackground(row.data(CVisitorTableModel::RowColourRole).toString(), column);
  if (role == Qt::BackgroundRole) return background;
  const bool request = column == CVisitorTableModel::ColStatus && row.data(CVisitorTableModel::ChatRequestRole).toBool();
  const bool stale = row.data(CVisitorTableModel::StaleRole).toBool();
  const QColor text = request ? kRequestText : (stale ? kStaleText : QColor(Qt::black));
  return ThemeColours::Readable(text, background, QGuiApplication::palette());
}
