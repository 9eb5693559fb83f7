#include "ChatTabBar.h"

#include <QMouseEvent>

CChatTabBar::CChatTabBar(QWidget* parent) : QTabBar(parent) {
  setMovable(true);
  setDocumentMode(true);
  setExpanding(false);
  setElideMode(Qt::ElideRight);
  setUsesScrollButtons(true);
  setAccessibleName(QStringLiteral("Chats"));
}

void CChatTabBar::SetPage(int index, QWidget* page) { setTabData(index, QVariant::fromValue<QObject*>(page)); }

QWidget* CChatTabBar::Page(int index) const { return qobject_cast<QWidget*>(tabData(index).value<QObject*>()); }

int CChatTabBar::IndexOf(const QObject* page) const {
  // By address alone: a page being destroyed is found too.
  for (int i = 0; i < count(); ++i)
    if (tabData(i).value<QObject*>() == page) return i;
  return -1;
}

bool CChatTabBar::IsAway(const QPoint& drop) const {
  const int margin = height();
  return !rect().adjusted(-margin, -margin, margin, margin).contains(drop);
}

void CChatTabBar::mousePressEvent(QMouseEvent* event) {
  m_pPressed = event->button() == Qt::LeftButton ? Page(tabAt(event->position().toPoint())) : nullptr;
  m_bAway = false;
  QTabBar::mousePressEvent(event);
}

void CChatTabBar::mouseMoveEvent(QMouseEvent* event) {
  QTabBar::mouseMoveEvent(event);
  if (m_pPressed.isNull()) return;
  const bool away = IsAway(event->position().toPoint());
  if (away == m_bAway) return;
  m_bAway = away;
  if (away)
    setCursor(Qt::DragMoveCursor);
  else
    unsetCursor();
}

void CChatTabBar::mouseReleaseEvent(QMouseEvent* event) {
  // The row finishes its own move first: the tab may have changed places.
  QTabBar::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  unsetCursor();
  QPointer<QWidget> page = m_pPressed;
  m_pPressed = nullptr;
  const bool away = IsAway(event->position().toPoint());
  m_bAway = false;
  if (page && away && IndexOf(page) >= 0) emit DraggedOut(page, event->globalPosition().toPoint());
}
