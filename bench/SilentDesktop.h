#pragma once

#include "DesktopServices.h"

// Desktop services that do nothing, so that a benchmark measures the
// program's own work and never blocks on a box.
class SilentDesktop : public CDesktopServices {
 public:
  Answer MessageBox(QWidget*, const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
  void PlaySound(const QUrl&) override {}
  bool OpenUrl(const QUrl&) override { return true; }
  void FlashWindow(QWidget*) override {}
  QDateTime Now() const override { return {}; }
  bool IsTrayAvailable() const override { return false; }
  void ShowTrayIcon(const QIcon&, const QString&, QMenu*, std::function<void()>) override {}
  void SetTrayIcon(const QIcon&) override {}
  void RemoveTrayIcon() override {}
  void SetTrayToolTip(const QString&) override {}
  void Notify(const QString&, const QString&, const QString&, std::function<void()>) override {}
  void Withdraw(const QString&) override {}
  void ShowWarning(const QString&, const QString&, const QString&, Icon, std::function<void()> closed) override {
    if (closed) closed();
  }
  void CloseWarning(const QString&) override {}
};
