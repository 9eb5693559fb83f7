#include "QtDesktopServices.h"

#include "DesktopNotifier.h"
#include "IdleTime.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSoundEffect>
#include <QTimer>

namespace {

QMessageBox::Icon BoxIcon(CDesktopServices::Icon icon) {
  switch (icon) {
    case CDesktopServices::Icon::None: return QMessageBox::NoIcon;
    case CDesktopServices::Icon::Information: return QMessageBox::Information;
    case CDesktopServices::Icon::Exclamation: return QMessageBox::Warning;
    case CDesktopServices::Icon::Error: return QMessageBox::Critical;
    case CDesktopServices::Icon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

CQtDesktopServices::CQtDesktopServices() : m_pNotifier(std::make_unique<CDesktopNotifier>()) {}
CQtDesktopServices::~CQtDesktopServices() = default;

CDesktopServices::Answer CQtDesktopServices::MessageBox(QWidget* owner, const QString& text,
                                                        const QString& caption, Icon icon,
                                                        Buttons buttons) {
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  // Server and visitor text: shown as it is, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setIcon(BoxIcon(icon));
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      // Enter must not end chats by accident; Escape cancels.
      box.setDefaultButton(QMessageBox::Cancel);
      break;
  }
  // Modal to its own window at most: every other window of the program
  // keeps taking input while the box waits (exec() alone would make it
  // application-modal). With no owner it blocks nothing.
  box.setWindowModality(Qt::WindowModal);
  // A box takes the keyboard only from the window the operator is working
  // in; one that arrives by itself (a warning, the service's log-out while
  // a chat is typed in) asks for attention instead.
  const bool ownerActive = owner != nullptr && owner->window()->isActiveWindow();
  if (!ownerActive) {
    box.setAttribute(Qt::WA_ShowWithoutActivating);
    QTimer::singleShot(0, &box, [&box] { QApplication::alert(&box); });
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
      if (buttons == Buttons::YesNoCancel) return Answer::Cancel;
      return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
}

void CQtDesktopServices::PlaySound(const QUrl& sound) {
  // Without an audio device the multimedia backend complains at every
  // sound; the program says so once and rings the desktop's bell instead.
  if (QMediaDevices::defaultAudioOutput().isNull()) {
    if (!m_bToldNoAudio)
      qWarning("No audio device: alerts ring the desktop's bell instead of their sounds.");
    m_bToldNoAudio = true;
    QApplication::beep();
    return;
  }
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

QString CQtDesktopServices::OpenFileName(QWidget* owner, const QString& caption, const QString& filter) {
  // Modal to its owner only, like the message boxes; the static
  // getOpenFileName would block every window of the program.
  QFileDialog dialog(owner, caption, QString(), filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setWindowModality(Qt::WindowModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

QString CQtDesktopServices::SaveFileName(QWidget* owner, const QString& caption, const QString& proposedPath) {
  QFileDialog dialog(owner, caption);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);  // never replaced without asking
  dialog.setDirectory(QFileInfo(proposedPath).absolutePath());
  dialog.selectFile(QFileInfo(proposedPath).fileName());
  dialog.setWindowModality(Qt::WindowModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

QDateTime CQtDesktopServices::Now() const { return QDateTime::currentDateTime(); }

qint64 CQtDesktopServices::IdleTimeMs() const { return DesktopIdleTimeMs(); }

bool CQtDesktopServices::IsTrayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void CQtDesktopServices::ShowTrayIcon(const QIcon& icon, const QString& tip, QMenu* menu,
                                      std::function<void()> activated) {
  if (!IsTrayAvailable()) return;
  m_pTray = std::make_unique<QSystemTrayIcon>(icon);
  m_pTray->setToolTip(tip);
  m_pTray->setContextMenu(menu);
  // Desktops with StatusNotifierItem send no double-click: a click restores too.
  QObject::connect(m_pTray.get(), &QSystemTrayIcon::activated, m_pTray.get(),
                   [activated](QSystemTrayIcon::ActivationReason reason) {
                     if ((reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) && activated)
                       activated();
                   });
  m_pTray->show();
}

void CQtDesktopServices::SetTrayIcon(const QIcon& icon) {
  if (m_pTray) m_pTray->setIcon(icon);
}

void CQtDesktopServices::RemoveTrayIcon() { m_pTray.reset(); }

void CQtDesktopServices::SetTrayToolTip(const QString& tip) {
  if (m_pTray) m_pTray->setToolTip(tip);
}

void CQtDesktopServices::Notify(const QString& key, const QString& title, const QString& text,
                                std::function<void()> accepted) {
  m_pNotifier->Notify(key, title, text, std::move(accepted));
}

void CQtDesktopServices::Withdraw(const QString& key) { m_pNotifier->Withdraw(key); }

bool CQtDesktopServices::HasNotifications() const {
  // Asked of the session bus itself, which answers at once.
  const QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications"));
}

void CQtDesktopServices::ShowWarning(const QString& key, const QString& text, const QString& caption, Icon icon,
                                     std::function<void()> closed) {
  CloseWarning(key);
  // Shown, not run: nothing waits for the operator to read it, and no
  // window of the program is blocked by it.
  auto* box = new QMessageBox(BoxIcon(icon), caption, text, QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  // It arrives by itself: it asks for attention instead of taking the
  // keyboard from the window the operator is typing in.
  box->setAttribute(Qt::WA_ShowWithoutActivating);
  QObject::connect(box, &QObject::destroyed, [closed = std::move(closed)] {
    if (closed) closed();
  });
  m_warnings.insert(key, box);
  box->show();
  QApplication::alert(box);
}

void CQtDesktopServices::CloseWarning(const QString& key) {
  const QPointer<QMessageBox> box = m_warnings.take(key);
  if (box) box->close();
}
