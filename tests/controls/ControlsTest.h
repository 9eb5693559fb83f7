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

inline QImage Render(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline QColor Pixel(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

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

// A palette colour as a plain RGB colour, comparable with rendered pixels.
inline QColor Role(const QWidget* w, QPalette::ColorRole role) { return QColor(w->palette().color(role).rgb()); }
inline QColor Role(const QWidget* w, QPalette::ColorGroup group, QPalette::ColorRole role) {
  return QColor(w->palette().color(group, role).rgb());
}

inline bool Near(const QColor& a, const QColor& b, int tolerance = 8) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}
