#pragma once

#include <QPointer>
#include <QWidget>

class QPlainTextEdit;

// The emoticon picker: a small pop-up of sixteen picture buttons and a
// Close button, opened just above the chat window's Emoticons button. A
// chosen code goes into the entry box at the caret, replacing any
// selection; it is sent with the rest of the line. The picker runs without
// a nested event loop and deletes itself when it closes, so a chat window
// closed meanwhile takes it along safely.
class CEmotionsDlg : public QWidget {
  Q_OBJECT

 public:
  // The picker of the chat window that owns the button.
  CEmotionsDlg(QWidget* emoticonsButton, QPlainTextEdit* entryBox);

  // Opens a picker above the button.
  static CEmotionsDlg* Open(QWidget* emoticonsButton, QPlainTextEdit* entryBox);

  // Top-left corner (button left - 30, button top - 112), moved inside the
  // screen when that place is off it.
  static QPoint PlaceFor(const QRect& buttonOnScreen, const QSize& pickerSize, const QRect& screen);

  void InsertEmoticonCode(const QString& code);

 private:
  QPointer<QPlainTextEdit> m_pEntry;
};
