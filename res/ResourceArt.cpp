#include "ResourceArt.h"

#include <QFile>
#include <QGuiApplication>

namespace ResourceArt {

qreal ScreenRatio() { return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0; }

QImage Image(const QString& path, qreal ratio) {
  if (ratio > 1.0 && path.endsWith(QLatin1String(".png"))) {
    QImage fine(path.chopped(4) + QStringLiteral("@2x.png"));
    if (!fine.isNull()) {
      fine.setDevicePixelRatio(2.0);
      return fine;
    }
  }
  return QFile::exists(path) ? QImage(path) : QImage();
}

QPixmap Pixmap(const QString& path, qreal ratio) { return QPixmap::fromImage(Image(path, ratio)); }

QIcon Icon(const QString& path) {
  QIcon icon;
  if (!QFile::exists(path)) return icon;
  icon.addFile(path);
  const QString fine = path.chopped(4) + QStringLiteral("@2x.png");
  if (path.endsWith(QLatin1String(".png")) && QFile::exists(fine)) icon.addFile(fine);
  return icon;
}

QString BitmapPath(int id) { return QStringLiteral(":/bitmaps/%1.png").arg(id); }

QPixmap StripPart(const QPixmap& strip, int index, int side) {
  const qreal ratio = strip.devicePixelRatio();
  const int px = qRound(side * ratio);
  QPixmap part = strip.copy(index * px, 0, px, px);
  part.setDevicePixelRatio(ratio);
  return part;
}

}  // namespace ResourceArt
