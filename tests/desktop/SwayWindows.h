#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

class CDesktopRig;

// A window as sway's tree lists it.
struct SwayWindow {
  qint64 conId = 0;
  QString name;
  QString appId;
  qint64 pid = 0;
  bool focused = false;
  bool urgent = false;
  bool visible = false;  // false in the scratchpad or on another workspace
  QRect rect;
};

// What the operator sees and does on the rig's sway: the window tree (IPC),
// real key events through the virtual-keyboard protocol (wtype), commands
// as the operator's key bindings would give them, screenshots (grim).
class CSwayWindows {
 public:
  explicit CSwayWindows(const CDesktopRig& rig) : m_rig(rig) {}

  QList<SwayWindow> Windows() const;
  std::optional<SwayWindow> Find(const QString& name) const;
  QString FocusedName() const;
  bool WaitForFocused(const QString& name, int ms) const;

  // One wtype run: keys ("Return", "ctrl+a", "alt+c") and text ("=" then
  // the text) in order. A new virtual keyboard may drop its first keys: each
  // run starts with a harmless key and a pause.
  void Keys(const QStringList& keysAndText) const;
  void Command(const QString& command) const;  // swaymsg
  QString Screenshot(const QString& fileName) const;

 private:
  const CDesktopRig& m_rig;
};
