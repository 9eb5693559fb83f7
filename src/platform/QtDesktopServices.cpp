#include "QtDesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QSoundEffect>

CQtDesktopServices::CQtDesktopServices() = default;
CQtDesktopServices::~CQtDesktopServices() = default;

CDesktopServices::Answer CQtDesktopServices::MessageBox(QWidget* owner, const QString& text,
                                                        const QString& caption, Icon icon,
                                                        Buttons buttons) {
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  box.setText(text);
  switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
  }
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
}

void CQtDesktopServices::PlaySound(const QUrl& sound) {
  // One effect for the whole program: a new sound cuts the one playing.
  if (!m_pSound) m_pSound = std::make_unique<QSoundEffect>();
  m_pSound->stop();
  m_pSound->setSource(sound);
  m_pSound->play();
}

bool CQtDesktopServices::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

void CQtDesktopServices::FlashWindow(QWidget* window) {
  if (window != nullptr) QApplication::alert(window, 1000);
}

QDateTime CQtDesktopServices::Now() const { return QDateTime::currentDateTime(); }
