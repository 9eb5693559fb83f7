#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

class CDesktopRig;

// A top-level window as the window manager lists it.
struct XWindow {
  QString id;
  QString name;
  QString wmClass;
  qint64 pid = 0;
  QStringList types;   // _NET_WM_WINDOW_TYPE_..., without the prefix
  QStringList states;  // _NET_WM_STATE_..., without the prefix
  QRect geometry;
  QRect frame;  // with the title bar and borders the window manager drew
  QString transientFor;  // the window it belongs to (a menu's, a box's), 0x...

  bool Has(const QString& state) const { return states.contains(state); }
};

// What the operator sees and does on the rig's desktop, through the X tools:
// window lists and states from the window manager's properties, real key
// and mouse events through XTest (xdotool), the clipboard (xclip) and
// screenshots (import).
class CWindowSystem {
 public:
  explicit CWindowSystem(const CDesktopRig& rig) : m_rig(rig) {}

  // Managed windows, bottom to top; minimised ones carry the state HIDDEN,
  // hidden ones are not listed.
  QList<XWindow> Windows() const;
  std::optional<XWindow> Find(const QString& name) const;
  // Windows the manager does not list: notifications, tray icons, menus.
  QList<XWindow> Unmanaged(const QString& wmClass) const;
  QString ActiveWindowName() const;
  QString ActiveWindowId() const;  // as the window list writes it, 0x...
  QRect WorkArea() const;

  void Key(const QString& keys) const;  // xdotool key syntax, e.g. "alt+c" or "Return"
  // Characters outside the keymap are first bound to spare keys for good:
  // xdotool's own remapping of one spare key per character races with the
  // program reading the map under load, and the character is lost.
  void Type(const QString& text, int delayMs = 60) const;
  void Click(const QString& windowId, const QPoint& at, int button = 1) const;
  void ClickAt(const QPoint& at, int button = 1) const;
  // The left button pressed at `from`, moved in steps to `to` and let go
  // there, as a hand drags.
  void Drag(const QPoint& from, const QPoint& to) const;
  void Activate(const QString& windowId) const;
  void Minimise(const QString& windowId) const;

  QString Clipboard() const;
  // The screen as the operator sees it, saved in the rig's folder; the
  // file's path, empty when it failed.
  QString Screenshot(const QString& fileName) const;

 private:
  XWindow Describe(const QString& id) const;
  void BindToSpareKeys(const QString& text) const;
  QString Tool(const QString& program, const QStringList& arguments, bool* ok = nullptr) const;

  const CDesktopRig& m_rig;
};
