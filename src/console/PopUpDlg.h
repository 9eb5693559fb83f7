#pragma once

#include <QWidget>

#include <functional>

class QLabel;

// The corner notice of a chat request while the console is hidden: a small
// white window at the bottom right of the screen's work area, on top of the
// others, that never takes the keyboard from the operator. A click on it
// takes the request it was made for (by its chat session id, whatever the
// table looks like by then) and closes it; otherwise it stays until the
// request is taken or refused. Several notices stand one above another,
// a new one in the lowest place left free.
class CPopUpDlg : public QWidget {
  Q_OBJECT

 public:
  // shown: the places of the notices on screen, which this one stands clear of.
  CPopUpDlg(const QString& text, bool bOperator, std::function<void()> accept, const QList<QRect>& shown = {});

  QString Text() const;
  // Where a window of this size goes: the work area's bottom-right corner.
  static QPoint CornerPlace(const QSize& size, const QRect& workArea);
  // The lowest place up from that corner that overlaps none of the notices
  // shown (by their heights, whatever their order); the corner when the
  // column is full.
  static QPoint StackPlace(const QSize& size, const QRect& workArea, const QList<QRect>& shown);
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* m_pText;
  std::function<void()> m_accept;
};
