#pragma once

#include <QWidget>

#include <functional>

class QLabel;

// The corner notice of a chat request while the console is hidden: a small
// white window at the bottom right of the screen's work area, on top of the
// others, that never takes the keyboard from the operator. A click on it
// takes the request it was made for (by its chat session id, whatever the
// table looks like by then) and closes it; otherwise it stays until the
// request is taken or refused. Several notices stand one above another.
class CPopUpDlg : public QWidget {
  Q_OBJECT

 public:
  // Slot 0 is the corner itself, each next one a notice higher.
  CPopUpDlg(const QString& text, bool bOperator, std::function<void()> accept, int slot = 0);

  QString Text() const;
  // Where a window of this size goes: the work area's bottom-right corner.
  static QPoint CornerPlace(const QSize& size, const QRect& workArea);
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* m_pText;
  std::function<void()> m_accept;
};
