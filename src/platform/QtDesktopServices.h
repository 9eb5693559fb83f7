#pragma once

#include "DesktopServices.h"

#include <QHash>
#include <QPointer>

#include <memory>

class CDesktopNotifier;
class QMessageBox;
class QSoundEffect;
class QSystemTrayIcon;

// The desktop services of a real session: QMessageBox, QSoundEffect,
// QDesktopServices, QApplication::alert, QFileDialog, QSystemTrayIcon and
// the freedesktop notification service.
class CQtDesktopServices : public CDesktopServices {
 public:
  CQtDesktopServices();
  ~CQtDesktopServices() override;

  Answer MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                    Buttons buttons) override;
  void PlaySound(const QUrl& sound) override;
  bool OpenUrl(const QUrl& url) override;
  void FlashWindow(QWidget* window) override;
  QString OpenFileName(QWidget* owner, const QString& caption, const QString& filter) override;
  QString SaveFileName(QWidget* owner, const QString& caption, const QString& proposedPath) override;
  QDateTime Now() const override;
  qint64 IdleTimeMs() const override;

  bool IsTrayAvailable() const override;
  void ShowTrayIcon(const QIcon& icon, const QString& tip, QMenu* menu, std::function<void()> activated) override;
  void SetTrayIcon(const QIcon& icon) override;
  void SetTrayToolTip(const QString& tip) override;
  void RemoveTrayIcon() override;
  void Notify(const QString& key, const QString& title, const QString& text, std::function<void()> accepted) override;
  void Withdraw(const QString& key) override;
  bool HasNotifications() const override;
  void ShowWarning(const QString& key, const QString& text, const QString& caption, Icon icon,
                   std::function<void()> closed) override;
  void CloseWarning(const QString& key) override;

 private:
  std::unique_ptr<QSoundEffect> m_pSound;
  bool m_bToldNoAudio = false;
  std::unique_ptr<QSystemTrayIcon> m_pTray;
  std::unique_ptr<CDesktopNotifier> m_pNotifier;
  QHash<QString, QPointer<QMessageBox>> m_warnings;
};
