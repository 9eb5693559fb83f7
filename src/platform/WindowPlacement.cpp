#include "WindowPlacement.h"

#include "SettingsStore.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <functional>

const QString CWindowPlacement::kKey = QStringLiteral("Software\\TVR\\Client\\Windows");

namespace {

// The window the next cascaded one follows.
QPointer<QWidget> g_pLastCascaded;

}  // namespace

bool CWindowPlacement::Parse(const QString& text, QRect& rect) {
  const QStringList parts = text.split(u',');
  if (parts.size() != 4) return false;
  int v[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    v[i] = parts[i].trimmed().toInt(&ok);
    if (!ok) return false;
  }
  if (v[2] <= 0 || v[3] <= 0) return false;
  rect = QRect(v[0], v[1], v[2], v[3]);
  return true;
}

QRect CWindowPlacement::ClampTo(const QRect& rect, const QRect& area, const QSize& minimum) {
  QRect r = rect;
  r.setWidth(std::max(std::min(r.width(), area.width()), minimum.width()));
  r.setHeight(std::max(std::min(r.height(), area.height()), minimum.height()));
  if (r.right() > area.right()) r.moveRight(area.right());
  if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
  if (r.left() < area.left()) r.moveLeft(area.left());
  if (r.top() < area.top()) r.moveTop(area.top());
  return r;
}

bool CWindowPlacement::Restore(QWidget* window, const QString& name) {
  const std::optional<QString> text = CSettingsStore().ReadText(kKey, name);
  QRect rect;
  if (!text || !Parse(*text, rect)) return false;
  // The screen the window was on may be gone: the one under its centre,
  // else the primary screen.
  QScreen* screen = QGuiApplication::screenAt(rect.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) rect = ClampTo(rect, screen->availableGeometry(), window->minimumSize());
  window->setGeometry(rect);
  return true;
}

void CWindowPlacement::Save(const QWidget* window, const QString& name) {
  const QRect r = window->geometry();
  CSettingsStore store;
  if (!store.CreateKey(kKey)) return;
  store.WriteText(kKey, name, QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
}

QPoint CWindowPlacement::Cascade(const QRect& last, const QSize& size, const QRect& area) {
  QPoint next = last.topLeft() + QPoint(kCascadeStep, kCascadeStep);
  if (next.x() + size.width() - 1 > area.right() || next.y() + size.height() - 1 > area.bottom()) next = area.topLeft();
  return ClampTo(QRect(next, size), area, size).topLeft();
}

QSize CWindowPlacement::RoomOnScreen(const QWidget* window) {
  constexpr int kFrame = 48;  // the window manager's title bar and borders
  const QScreen* s = window->screen();
  return s ? s->availableGeometry().size() - QSize(kFrame / 4, kFrame) : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

QRect CWindowPlacement::Beside(const QRect& anchor, const QSize& size, const QRect& area, const QSize& minimum) {
  const int right = area.right() - anchor.right() - kBesideGap;
  const int left = anchor.left() - area.left() - kBesideGap;
  const int below = area.bottom() - anchor.bottom() - kBesideGap;
  const int above = anchor.top() - area.top() - kBesideGap;
  // Each side: the room there, and the window placed there at a width (or
  // height) of that room at most.
  const auto atRight = [&](int w) { return QRect(anchor.right() + 1 + kBesideGap, anchor.top(), w, size.height()); };
  const auto atLeft = [&](int w) { return QRect(anchor.left() - kBesideGap - w, anchor.top(), w, size.height()); };
  const auto atBottom = [&](int h) { return QRect(anchor.left(), anchor.bottom() + 1 + kBesideGap, size.width(), h); };
  const auto atTop = [&](int h) { return QRect(anchor.left(), anchor.top() - kBesideGap - h, size.width(), h); };
  struct Side {
    int room;
    int wanted;
    int least;
    std::function<QRect(int)> place;
  };
  const Side sides[] = {{right, size.width(), minimum.width(), atRight},
                        {left, size.width(), minimum.width(), atLeft},
                        {below, size.height(), minimum.height(), atBottom},
                        {above, size.height(), minimum.height(), atTop}};
  // The rectangle keeps its side of the anchor; only the other direction is
  // moved into the area.
  const auto inside = [&](const QRect& r) { return ClampTo(r, area, r.size().boundedTo(area.size())); };
  for (const Side& side : sides)
    if (side.room >= side.wanted) return inside(side.place(side.wanted));
  const Side* roomiest = &sides[0];
  for (const Side& side : sides)
    if (side.room - side.least > roomiest->room - roomiest->least) roomiest = &side;
  if (roomiest->room >= roomiest->least) return inside(roomiest->place(roomiest->room));
  return ClampTo(roomiest->place(roomiest->least), area, minimum);
}

QMargins CWindowPlacement::FrameMargins(const QWidget* window) {
  for (const QWidget* framed : QApplication::topLevelWidgets()) {
    if (framed == window || !framed->isVisible() || framed->isMinimized()) continue;
    const QRect outer = framed->frameGeometry(), inner = framed->geometry();
    if (outer != inner)
      return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                      outer.bottom() - inner.bottom());
  }
  return QMargins(6, 42, 6, 6);
}

void CWindowPlacement::PlaceCascaded(QWidget* window) {
  const bool follows = g_pLastCascaded && g_pLastCascaded != window && g_pLastCascaded->isVisible();
  QScreen* screen = follows ? g_pLastCascaded->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  // The frame counts: a window placed by its client area alone reaches past
  // the work area by its title bar and borders.
  const QSize outer = window->size().grownBy(FrameMargins(window));
  QRect first(QPoint(), outer);
  first.moveCenter(area.center());
  window->move(follows ? Cascade(g_pLastCascaded->frameGeometry(), outer, area) : ClampTo(first, area, outer).topLeft());
  g_pLastCascaded = window;
}
