#include "RecordingDesktopServices.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

CRecordingDesktopServices::CRecordingDesktopServices() { CDesktopServices::Install(this); }

CRecordingDesktopServices::~CRecordingDesktopServices() {
  CloseWarnings();
  CDesktopServices::Install(nullptr);
}

CDesktopServices::Answer CRecordingDesktopServices::MessageBox(QWidget* owner, const QString& text,
                                                               const QString& caption, Icon icon,
                                                               Buttons buttons) {
  messageBoxes.append(MessageBoxCall{owner, owner != nullptr, text, caption, icon, buttons});
  if (m_nBoxOpenMs > 0) {
    QEventLoop loop;
    QTimer poll;
    const QDeadlineTimer deadline(m_nBoxOpenMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (deadline.hasExpired() || (m_boxOpenUntil && m_boxOpenUntil())) loop.quit();
    });
    poll.start(5);
    loop.exec();
  }
  if (!m_answers.isEmpty()) return m_answers.takeFirst();
  // A question with a way out answers the harmless way: keep what is open.
  if (buttons == Buttons::YesNoCancel) return Answer::No;
  return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

void CRecordingDesktopServices::PlaySound(const QUrl& sound) { sounds.append(sound); }

bool CRecordingDesktopServices::OpenUrl(const QUrl& url) {
  openedUrls.append(url);
  return true;
}

void CRecordingDesktopServices::FlashWindow(QWidget* window) { flashes.append(window); }

QString CRecordingDesktopServices::OpenFileName(QWidget* owner, const QString& caption, const QString& filter) {
  fileDialogs.append(FileDialogCall{owner != nullptr, caption, filter, QString()});
  return m_fileNames.isEmpty() ? QString() : m_fileNames.takeFirst();
}

QString CRecordingDesktopServices::SaveFileName(QWidget* owner, const QString& caption, const QString& proposedPath) {
  fileDialogs.append(FileDialogCall{owner != nullptr, caption, QString(), proposedPath});
  return m_fileNames.isEmpty() ? QString() : m_fileNames.takeFirst();
}

QDateTime CRecordingDesktopServices::Now() const { return m_now.isValid() ? m_now : QDateTime::currentDateTime(); }

void CRecordingDesktopServices::ShowTrayIcon(const QIcon&, const QString& tip, QMenu* menu,
                                             std::function<void()> activated) {
  trayShown = true;
  trayTip = tip;
  trayMenu = menu;
  trayActivated = std::move(activated);
}

void CRecordingDesktopServices::SetTrayIcon(const QIcon& icon) {
  ++trayIconChanges;
  trayIcon = icon;
}

void CRecordingDesktopServices::Notify(const QString& key, const QString& title, const QString& text,
                                       std::function<void()> accepted) {
  for (Notification& shown : notifications) {
    if (shown.key != key || shown.withdrawn) continue;
    shown.title = title;
    shown.text = text;
    shown.accept = std::move(accepted);
    ++shown.shown;
    return;
  }
  notifications.append({key, title, text, std::move(accepted)});
}

void CRecordingDesktopServices::Withdraw(const QString& key) {
  for (Notification& shown : notifications)
    if (shown.key == key) shown.withdrawn = true;
}

int CRecordingDesktopServices::ShownNotifications() const {
  return int(std::count_if(notifications.cbegin(), notifications.cend(), [](const Notification& n) { return !n.withdrawn; }));
}

void CRecordingDesktopServices::Clear() {
  CloseWarnings();
  warnings.clear();
  messageBoxes.clear();
  sounds.clear();
  openedUrls.clear();
  flashes.clear();
  notifications.clear();
  fileDialogs.clear();
  m_answers.clear();
  m_fileNames.clear();
}

void CRecordingDesktopServices::ShowWarning(const QString& key, const QString& text, const QString& caption, Icon icon,
                                            std::function<void()> closed) {
  CloseWarning(key);
  messageBoxes.append(MessageBoxCall{nullptr, false, text, caption, icon, Buttons::Ok});
  warnings.append({key, text, std::move(closed)});
}

void CRecordingDesktopServices::CloseWarning(const QString& key) { Close(key, true); }

void CRecordingDesktopServices::CloseWarnings() { Close(QString(), false); }

void CRecordingDesktopServices::Close(const QString& key, bool byProgram) {
  for (Warning& warning : warnings) {
    if (!warning.open || (!key.isEmpty() && warning.key != key)) continue;
    warning.open = false;
    warning.closedByProgram = byProgram;
    if (warning.closed) warning.closed();
  }
}

int CRecordingDesktopServices::OpenWarnings() const {
  return int(std::count_if(warnings.cbegin(), warnings.cend(), [](const Warning& w) { return w.open; }));
}
