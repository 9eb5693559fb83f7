#pragma once

// Shared by the tests of the controls: the Fusion style with its own
// palette, so that rendered pixels are the same on every machine.
#include <QApplication>
#include <QColor>
#include <QEnterEvent>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

inline void UseFusion() {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setPalette(QApplication::style()->standardPalette());
}

// The widget's pixels; with TALVERO_RENDER_DIR set, also kept there as
// <name>.png, six times enlarged, for a look by eye.
inline QImage Render(QWidget* w, const QString& name = QString()) {
  const QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QString dir = qEnvironmentVariable("TALVERO_RENDER_DIR");
  if (!dir.isEmpty() && !name.isEmpty()) img.scaled(img.size() * 6).save(dir + u'/' + name + QStringLiteral(".png"));
  return img;
}

inline QColor Pixel(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

// A palette colour as a plain RGB colour, comparable with rendered pixels.
inline QColor Role(const QWidget* w, QPalette::ColorRole role) { return QColor(w->palette().color(role).rgb()); }

// The mouse enters or leaves a widget, as the window system reports it.
inline void Enter(QWidget* w) {
  const QPointF local(w->width() / 2.0, w->height() / 2.0);
  QEnterEvent e(local, local, w->mapToGlobal(local));
  QApplication::sendEvent(w, &e);
}

inline void Leave(QWidget* w) {
  QEvent e(QEvent::Leave);
  QApplication::sendEvent(w, &e);
}
