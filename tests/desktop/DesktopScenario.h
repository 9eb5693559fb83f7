#pragma once

#include "ConsoleProcess.h"
#include "DesktopRig.h"
#include "ServiceProcess.h"
#include "SwayWindows.h"
#include "WindowSystem.h"

#include <memory>
#include <optional>
#include <vector>

// What every desktop scenario does as the operator: one rig for the whole
// test program, a fresh service for each scenario, consoles logged in from
// the keyboard, and the chat windows read through the clipboard.
class CDesktopScenario {
 public:
  static constexpr int kWindowMs = 20000;  // a window to appear, a line to arrive

  // The rig, with a screen of that size; false (with Error()) when the
  // desktop could not be started. A second call starts a new desktop.
  bool StartDesktop(const QSize& screen = QSize(1600, 1000), CDesktopRig::Desktop desktop = CDesktopRig::Desktop::X11);
  QString Error() const { return m_pRig ? m_pRig->Error() : QString(); }
  // A fresh service for the next scenario; the consoles of the last one end.
  bool StartService(int consolePeriod = 1, int chatPeriod = 1);
  void EndScenario();

  CWindowSystem& Windows() const { return *m_pWindows; }
  // On a sway rig: its windows and keys.
  CSwayWindows& Sway() const { return *m_pSway; }
  CServiceProcess& Service() { return *m_pService; }
  CDesktopRig& Rig() { return *m_pRig; }

  // A screen reader's view of the desktop: whether the AT-SPI client and bus
  // are installed, and the accessibility bus started on this rig (it ends
  // with the rig); consoles then need QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1.
  static bool HasAtSpi();
  bool StartAccessibilityBus();
  // The AT-SPI client of tests/desktop, run with the system's Python.
  static const QString kAtSpiPython;

  CConsoleProcess& StartConsole(const QString& name, const QProcessEnvironment& extraEnv = {});
  // The settings file a console of that name starts with, as an earlier run
  // left it; false when it could not be written.
  bool SeedSettings(const QString& name, const QByteArray& text);
  // Types the site id, login id and password into the login window and
  // presses Enter (ticking "Remember me" with the space bar on the way);
  // true once that console's window is shown.
  bool LogIn(CConsoleProcess& console, const QString& loginId, const QString& password, bool bRemember = false);
  // Types site 1001, the login id and the password into the active login
  // window, whatever it showed before; false when there is none.
  bool TypeLogIn(const QString& loginId, const QString& password);
  std::optional<XWindow> ConsoleWindow(const CConsoleProcess& console) const;
  // On sway, from the keyboard alone: the login window that has the
  // keyboard gets the ids and Enter; true once that console's window is
  // there. And the console's window as sway lists it.
  bool LogInOnSway(CConsoleProcess& console, const QString& loginId, const QString& password);
  std::optional<SwayWindow> ConsoleSwayWindow(const CConsoleProcess& console) const;
  // The pop-up menu shown over a window (not the program's tray icon, nor
  // another of its windows); none while no menu is open.
  std::optional<XWindow> PopUpMenu(const XWindow& over) const;
  bool WaitForActive(const QString& name, int ms = kWindowMs) const;
  bool WaitForWindow(const QString& name, int ms = kWindowMs) const;
  // Brings a window forward as its panel button does; true once it is active.
  bool Focus(const QString& name) const;
  bool FocusConsole(const CConsoleProcess& console) const;

  // The consoles' refreshes the service has answered, of one operator or all.
  int Refreshes(const QString& loginId = QString());
  bool WaitForRefreshes(int n, const QString& loginId = QString());

  // From the entry box of the active chat window: its transcript, and the
  // entry box's own text, copied with the keyboard. The caret goes back to
  // the end of the entry box.
  QString CopyTranscript() const;
  QString CopyEntryBox() const;

  // A place in a console window given where it is at 7 x 13 base units
  // (a window of 802 x 647): the console grows with its font, in proportion.
  static QPoint InConsole(const XWindow& console, const QPoint& at);
  // Where to click in a console's visitor table: the centre of a row.
  static QPoint ConsoleRow(const XWindow& console, int row);

  // For a failed scenario (QtTest's cleanup): the consoles' output, the
  // service's requests and a screenshot kept in the temporary folder.
  void ReportFailure();

 private:
  std::unique_ptr<CDesktopRig> m_pRig;
  std::unique_ptr<CWindowSystem> m_pWindows;
  std::unique_ptr<CSwayWindows> m_pSway;
  std::unique_ptr<CServiceProcess> m_pService;
  std::vector<std::unique_ptr<CConsoleProcess>> m_consoles;
};
