#pragma once

#include "DesktopServices.h"

#include <memory>

class QSoundEffect;

// The desktop services of a real session: QMessageBox, QSoundEffect,
// QDesktopServices and QApplication::alert.
class CQtDesktopServices : public CDesktopServices {
 public:
  CQtDesktopServices();
  ~CQtDesktopServices() override;

  Answer MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                    Buttons buttons) override;
  void PlaySound(const QUrl& sound) override;
  bool OpenUrl(const QUrl& url) override;
  void FlashWindow(QWidget* window) override;
  QDateTime Now() const override;

 private:
  std::unique_ptr<QSoundEffect> m_pSound;
};
