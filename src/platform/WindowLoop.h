#pragma once

class QDialog;

// "Runs until it ends" without modality: the dialog is shown as an ordinary
// window and a local event loop runs until the dialog finishes (done(),
// accept() or reject()). Every other window of the program keeps taking
// input, and hiding, minimising or changing the dialog's window flags does
// not end the loop; QDialog::exec() would end it on hide() and make the
// dialog application-modal.
class CWindowLoop {
 public:
  // The dialog's result. QCoreApplication::quit() ends it too (it ends every
  // loop of the thread), so the program keeps quitOnLastWindowClosed off: a
  // console hidden in the tray is no closed window.
  static int RunUntilFinished(QDialog* dialog);
};
