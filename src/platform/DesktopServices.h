#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>

class QIcon;
class QMenu;
class QWidget;

// Everything that would block a test or reach outside the program: message
// boxes, sounds, opening addresses, flashing a window, the file-open
// dialog, the clock. The
// program installs the Qt implementation at start-up; tests install a
// recording fake. Call these on the user-interface thread only.
class CDesktopServices {
 public:
  enum class Icon { None, Information, Exclamation, Error, Question };
  enum class Buttons { Ok, YesNo, OkCancel, YesNoCancel };
  enum class Answer { Ok, Cancel, Yes, No };

  virtual ~CDesktopServices() = default;

  // A modal message box; returns the button the user chose.
  virtual Answer MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                            Buttons buttons = Buttons::Ok) = 0;
  // Plays a WAV sound ("qrc:/sounds/140.wav" or a local file) without
  // waiting; a new sound cuts the one playing.
  virtual void PlaySound(const QUrl& sound) = 0;
  // Opens an address with the user's default handler (web browser, mail).
  virtual bool OpenUrl(const QUrl& url) = 0;
  // Draws the user's attention to a window once, without raising it.
  virtual void FlashWindow(QWidget* window) = 0;
  // A modal file-open dialog for an existing file; filter as Qt writes it,
  // e.g. "Wave Files (*.wav)". Returns the chosen path, empty on Cancel;
  // services without a file dialog answer Cancel.
  virtual QString OpenFileName(QWidget* owner, const QString& caption, const QString& filter) { return {}; }
  // A modal save dialog proposing proposedPath; it asks before an existing
  // file is replaced. Returns the chosen path, empty on Cancel; services
  // without a file dialog answer Cancel.
  virtual QString SaveFileName(QWidget* owner, const QString& caption, const QString& proposedPath) { return {}; }
  virtual QDateTime Now() const = 0;
  // How long the desktop has had no keyboard or mouse input, in
  // milliseconds; -1 where the desktop does not say.
  virtual qint64 IdleTimeMs() const { return -1; }

  // The icon in the desktop's tray (status area), with its menu; activated
  // runs on a click or a double-click. Where a desktop has no tray,
  // IsTrayAvailable is false and the calls do nothing.
  virtual bool IsTrayAvailable() const = 0;
  virtual void ShowTrayIcon(const QIcon& icon, const QString& tip, QMenu* menu, std::function<void()> activated) = 0;
  virtual void SetTrayIcon(const QIcon& icon) = 0;
  virtual void SetTrayToolTip(const QString& tip) = 0;
  virtual void RemoveTrayIcon() = 0;
  // Where alerts appear on a desktop without a tray, for the operator.
  static QString AlertsWithoutTray();
  // A desktop notification with an "Accept" action, where the desktop has a
  // notification service; accepted runs when the operator chooses Accept.
  // It stays until it is used or withdrawn; a notification of the same key
  // replaces the one shown.
  virtual void Notify(const QString& key, const QString& title, const QString& text,
                      std::function<void()> accepted) = 0;
  virtual void Withdraw(const QString& key) = 0;
  // Whether the desktop has a notification service at all.
  virtual bool HasNotifications() const { return true; }
  // A message box shown without waiting for it, owned by no window: the
  // caller goes on at once, the box stays until the operator closes it or
  // CloseWarning takes it away, and closed runs once when it goes, either
  // way. A warning of the same key replaces the one shown.
  virtual void ShowWarning(const QString& key, const QString& text, const QString& caption, Icon icon,
                           std::function<void()> closed) = 0;
  virtual void CloseWarning(const QString& key) = 0;

  // The services in use; Install() replaces them (nullptr restores none).
  static CDesktopServices& Get();
  static void Install(CDesktopServices* services);
};
