#include "ControlArt.h"

#include "ResourceArt.h"
#include "ResourceIds.h"

#include <QBitmap>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>

namespace ControlArt {

QImage LoadBitmap(int id, qreal ratio) {
  if (id == 0) return {};
  return ResourceArt::Image(ResourceArt::BitmapPath(id), ratio > 0 ? ratio : ResourceArt::ScreenRatio());
}

QPixmap KeyedPixmap(const QImage& image, const QColor& key) {
  if (image.isNull()) return {};
  QImage img = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb k = key.rgb() & 0x00ffffff;
  for (int y = 0; y < img.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((line[x] & 0x00ffffff) == k && qAlpha(line[x]) == 255) line[x] = 0;
  }
  return QPixmap::fromImage(img);
}

QPixmap Monochrome(const QPixmap& keyed, const QColor& colour) {
  if (keyed.isNull()) return {};
  QImage img = keyed.toImage().convertToFormat(QImage::Format_ARGB32);
  const QRgb c = colour.rgb() & 0x00ffffff;
  for (int y = 0; y < img.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      line[x] = qAlpha(line[x]) >= 128 ? (c | 0xff000000) : 0;
  }
  QPixmap pm = QPixmap::fromImage(img);
  pm.setDevicePixelRatio(keyed.devicePixelRatio());
  return pm;
}

void DrawEmbossed(QPainter& p, const QPoint& at, const QPixmap& keyed, const QPalette& pal) {
  if (keyed.isNull()) return;
  p.drawPixmap(at + QPoint(1, 1), Monochrome(keyed, BtnHighlight(pal)));
  p.drawPixmap(at, Monochrome(keyed, BtnShadow(pal)));
}

QCursor LinkCursor() {
  const QString path = QStringLiteral(":/cursors/%1.png").arg(int(IDC_LINK_HAND));
  if (!QFile::exists(path)) return QCursor(Qt::PointingHandCursor);
  // QIcon picks the @2x picture on a high-density screen; the hot spot is
  // given in device-independent pixels.
  const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
  const QPixmap picture = QIcon(path).pixmap(QSize(32, 32), ratio);
  return QCursor(picture, 6, 0);
}

QColor BtnFace(const QPalette& pal) { return pal.color(QPalette::Button); }
QColor BtnText(const QPalette& pal) { return pal.color(QPalette::ButtonText); }
QColor BtnHighlight(const QPalette& pal) { return pal.color(QPalette::Light); }
QColor BtnShadow(const QPalette& pal) { return pal.color(QPalette::Dark); }
QColor DkShadow(const QPalette& pal) { return pal.color(QPalette::Shadow); }
QColor GrayText(const QPalette& pal) { return pal.color(QPalette::Disabled, QPalette::ButtonText); }
QColor HotLight(const QPalette& pal) { return pal.color(QPalette::Link); }

void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  if (r.width() < 1 || r.height() < 1) return;
  if (topLeft.isValid()) {
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
  }
  if (bottomRight.isValid()) {
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
  }
}

}  // namespace ControlArt
