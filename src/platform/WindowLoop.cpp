#include "WindowLoop.h"

#include <QDialog>
#include <QEventLoop>
#include <QPointer>

int CWindowLoop::RunUntilFinished(QDialog* dialog) {
  QPointer<QDialog> guard(dialog);
  QEventLoop loop;
  QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
  dialog->setWindowModality(Qt::NonModal);
  dialog->show();
  loop.exec();
  return guard ? guard->result() : QDialog::Rejected;
}
