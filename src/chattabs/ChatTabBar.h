#pragma once

#include <QPoint>
#include <QPointer>
#include <QTabBar>

// The tab row of a chat window: tabs move by drag within the row, and a tab
// dropped well away from the row (below it, or on another window) is let go
// of: DraggedOut names it and where it was dropped. The cursor says so
// while the tab is away.
class CChatTabBar : public QTabBar {
  Q_OBJECT

 public:
  explicit CChatTabBar(QWidget* parent = nullptr);

  // The page a tab shows, kept in the tab's data so that it follows the
  // tab when it moves.
  void SetPage(int index, QWidget* page);
  QWidget* Page(int index) const;
  int IndexOf(const QObject* page) const;

  // Whether a tab dropped at `drop` (in the row's coordinates) leaves the
  // row: farther from it than the row is high.
  bool IsAway(const QPoint& drop) const;

 signals:
  void DraggedOut(QWidget* page, const QPoint& globalDrop);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPointer<QWidget> m_pPressed;  // the page whose tab the left button holds
  bool m_bAway = false;
};
