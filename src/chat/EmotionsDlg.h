#pragma once

#include <QPointer>
#include <QWidget>

class CMySpellEditCtrl;

// The emoticon picker: a small pop-up of sixteen picture buttons and a
// Close button, opened just above the chat window's Emoticons button. A
// chosen code goes into the entry box at the caret, replacing any
// selection, as one step Ctrl+Z takes back; it is sent with the rest of the
// line. However the picker closes, the keyboard goes back to the entry box,
// so Enter sends and Space types a blank. The picker runs without
// a nested event loop and deletes itself when it closes, so a chat window
// closed meanwhile takes it along safely.
class CEmotionsDlg : public QWidget {
  Q_OBJECT

 public:
  // The picker of the chat window that owns the button.
  CEmotionsDlg(QWidget* emoticonsButton, CMySpellEditCtrl* entryBox);

  // Opens a picker above the button.
  static CEmotionsDlg* Open(QWidget* emoticonsButton, CMySpellEditCtrl* entryBox);

  // Top-left corner (button left - 30, button top - 112), moved inside the
  // screen when that place is off it.
  static QPoint PlaceFor(const QRect& buttonOnScreen, const QSize& pickerSize, const QRect& screen);

  void InsertEmoticonCode(const QString& code);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPointer<CMySpellEditCtrl> m_pEntry;
};
