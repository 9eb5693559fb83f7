#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;

// The corner notice of a chat request while the console is hidden: a small
// white window at the bottom right of the screen's work area, on top of the
// others, that never takes the keyboard from the operator. A click on it
// takes the request it was made for (by its chat session id, whatever the
// table looks like by then) and closes it; otherwise it goes after 8 s.
class CPopUpDlg : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kShownMs = 8000;

  // An empty operator name makes a visitor's notice showing the address.
  CPopUpDlg(const QString& text, bool bOperator, std::function<void()> accept);

  QString Text() const;
  // Where a window of this size goes: the work area's bottom-right corner.
  static QPoint CornerPlace(const QSize& size, const QRect& workArea);
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* m_pText;
  std::function<void()> m_accept;
  QTimer m_closer;
};
