#pragma once

#include "DesktopServices.h"

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

// The desktop services of a test: records every message box, sound, opened
// address, flash and file dialog, and answers message boxes and file
// dialogs from a script (the first button, No for a Yes/No/Cancel question,
// or Cancel, when the script is empty), so nothing ever blocks. Install()
// makes it the program's desktop services for its lifetime.
class CRecordingDesktopServices : public CDesktopServices {
 public:
  struct MessageBoxCall {
    QPointer<QWidget> owner;
    bool hadOwner = false;
    QString text;
    QString caption;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
  };
  struct FileDialogCall {
    bool hadOwner = false;
    QString caption;
    QString filter;
    QString proposedPath;  // of a save dialog
  };

  CRecordingDesktopServices();
  ~CRecordingDesktopServices() override;

  Answer MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                    Buttons buttons) override;
  void PlaySound(const QUrl& sound) override;
  bool OpenUrl(const QUrl& url) override;
  void FlashWindow(QWidget* window) override;
  QString OpenFileName(QWidget* owner, const QString& caption, const QString& filter) override;
  QString SaveFileName(QWidget* owner, const QString& caption, const QString& proposedPath) override;
  QDateTime Now() const override;
  qint64 IdleTimeMs() const override { return idleMs; }
  bool IsTrayAvailable() const override { return trayAvailable; }
  void ShowTrayIcon(const QIcon& icon, const QString& tip, QMenu* menu, std::function<void()> activated) override;
  void SetTrayIcon(const QIcon& icon) override;
  void SetTrayToolTip(const QString& tip) override { trayTip = tip; }
  void RemoveTrayIcon() override { trayShown = false; }
  void Notify(const QString& key, const QString& title, const QString& text, std::function<void()> accepted) override;
  void Withdraw(const QString& key) override;
  // Recorded among the message boxes too; a warning stays open until the
  // program closes it or the test does (CloseWarnings, or the end of the
  // services), and then its closed callback runs.
  void ShowWarning(const QString& key, const QString& text, const QString& caption, Icon icon,
                   std::function<void()> closed) override;
  void CloseWarning(const QString& key) override;
  // The operator dismisses every warning open.
  void CloseWarnings();

  // Answers for the next message boxes, in order.
  void ScriptAnswers(const QList<Answer>& answers) { m_answers = answers; }
  // Paths the next file dialogs choose, in order; an empty path is Cancel.
  void ScriptFileNames(const QStringList& paths) { m_fileNames = paths; }
  // While a box is "shown", keeps the event loop running, as a real modal
  // box does, until the condition holds or maxMs have passed; replies and
  // timers run meanwhile. An empty condition waits the whole time.
  void KeepBoxesOpen(int maxMs, std::function<bool()> until = {}) {
    m_nBoxOpenMs = maxMs;
    m_boxOpenUntil = std::move(until);
  }
  void SetNow(const QDateTime& now) { m_now = now; }
  void Clear();

  QList<MessageBoxCall> messageBoxes;
  QList<QUrl> sounds;
  QList<QUrl> openedUrls;
  QList<QPointer<QWidget>> flashes;
  QList<FileDialogCall> fileDialogs;

  // The desktop's idle time as a test sets it; -1: the desktop does not say.
  qint64 idleMs = -1;
  // The tray as the program left it; a test may say the desktop has none.
  bool trayAvailable = true;
  bool trayShown = false;
  QString trayTip;
  QPointer<QMenu> trayMenu;
  std::function<void()> trayActivated;
  int trayIconChanges = 0;
  QIcon trayIcon;
  // Every notification shown, in order; one replaced is updated in place.
  struct Notification {
    QString key;
    QString title;
    QString text;
    std::function<void()> accept;
    int shown = 1;  // times shown: 1, and one more per replacement
    bool withdrawn = false;
  };
  QList<Notification> notifications;
  struct Warning {
    QString key;
    QString text;
    std::function<void()> closed;
    bool open = true;
    bool closedByProgram = false;
  };
  QList<Warning> warnings;
  int OpenWarnings() const;
  // The notifications shown now.
  int ShownNotifications() const;

 private:
  // Closes the open warnings of a key (all with an empty key).
  void Close(const QString& key, bool byProgram);

  QList<Answer> m_answers;
  QStringList m_fileNames;
  QDateTime m_now;
  int m_nBoxOpenMs = 0;
  std::function<bool()> m_boxOpenUntil;
};
