#pragma once

#include <QDialog>

class QPlainTextEdit;

// A message left by another operator, in a small window of its own that
// frees itself when it closes. The text is shown as plain text.
class CMessageDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CMessageDlg(const QString& text, QWidget* parent = nullptr);

  // Opens a new message window; it stays until the operator closes it. A
  // window the operator asked for comes forward with the keyboard; messages
  // that arrive by themselves open without taking it.
  static CMessageDlg* Show(const QString& text, bool bAskedFor = true);
  // The reply of a messages request: its sound when it says "sound3", and
  // the messages in a new window. A failed request or an empty reply shows nothing.
  static CMessageDlg* ShowMessagesReply(const QString& reply, bool bAskedFor = true);
  // The messages reply's text as it reads: "<fld>" a line break, "<ln>" a
  // colon and two spaces.
  static QString MessageText(const QString& replyPiece);

  QString Text() const;

 private:
  QPlainTextEdit* m_pText;
};
