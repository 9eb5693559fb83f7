#pragma once

#include <QDialog>

class QPlainTextEdit;
struct MessagesReply;

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
  // The messages of a messages reply in a new window; a failed request or
  // an empty reply shows nothing. Its sound is for whoever received the
  // reply to report.
  static CMessageDlg* ShowMessagesReply(const MessagesReply& reply, bool bAskedFor = true);

  QString Text() const;

 private:
  QPlainTextEdit* m_pText;
};
