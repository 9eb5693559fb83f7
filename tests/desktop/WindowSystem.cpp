#include "WindowSystem.h"

#include "DesktopRig.h"

#include <QDir>
#include <QRegularExpression>
#include <QThread>

namespace {

// The atoms of an xprop line "NAME = A, B, C", without their common prefix.
QStringList Atoms(const QString& xprop, const QString& property, const QString& prefix) {
  const QRegularExpression line(QStringLiteral("^%1 = (.*)$").arg(property), QRegularExpression::MultilineOption);
  const QRegularExpressionMatch match = line.match(xprop);
  QStringList atoms;
  if (!match.hasMatch()) return atoms;
  for (QString atom : match.captured(1).split(u',', Qt::SkipEmptyParts)) atoms.append(atom.trimmed().remove(prefix));
  return atoms;
}

QString Quoted(const QString& xprop, const QString& property) {
  const QRegularExpression line(QStringLiteral("^%1 = \"(.*)\"").arg(property), QRegularExpression::MultilineOption);
  return line.match(xprop).captured(1);
}

int Number(const QString& xwininfo, const QString& label) {
  const QRegularExpression line(QStringLiteral("%1:\\s+(-?\\d+)").arg(QRegularExpression::escape(label)));
  return line.match(xwininfo).captured(1).toInt();
}

}  // namespace

QString CWindowSystem::Tool(const QString& program, const QStringList& arguments, bool* ok) const {
  return m_rig.Run(program, arguments, ok);
}

QList<XWindow> CWindowSystem::Windows() const {
  const QString list = Tool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
  QList<XWindow> windows;
  const int hash = list.indexOf(u'#');
  if (hash < 0) return windows;
  for (const QString& id : list.mid(hash + 1).split(u',', Qt::SkipEmptyParts)) {
    const XWindow window = Describe(id.trimmed());
    // A window that went away meanwhile has no class.
    if (!window.wmClass.isEmpty()) windows.append(window);
  }
  return windows;
}

XWindow CWindowSystem::Describe(const QString& id) const {
  XWindow window;
  window.id = id;
  const QString props = Tool(QStringLiteral("xprop"), {QStringLiteral("-notype"), QStringLiteral("-id"), id, QStringLiteral("_NET_WM_NAME"),
                                                       QStringLiteral("WM_CLASS"), QStringLiteral("_NET_WM_PID"), QStringLiteral("_NET_WM_WINDOW_TYPE"),
                                                       QStringLiteral("_NET_WM_STATE"), QStringLiteral("WM_TRANSIENT_FOR"),
                                                       QStringLiteral("_NET_FRAME_EXTENTS")});
  window.name = Quoted(props, QStringLiteral("_NET_WM_NAME"));
  window.wmClass = Quoted(props, QStringLiteral("WM_CLASS")).section(u'"', 0, 0);
  window.pid = Atoms(props, QStringLiteral("_NET_WM_PID"), QString()).value(0).toLongLong();
  window.types = Atoms(props, QStringLiteral("_NET_WM_WINDOW_TYPE"), QStringLiteral("_NET_WM_WINDOW_TYPE_"));
  window.states = Atoms(props, QStringLiteral("_NET_WM_STATE"), QStringLiteral("_NET_WM_STATE_"));
  static const QRegularExpression transient(QStringLiteral("^WM_TRANSIENT_FOR: window id # (0x[0-9a-f]+)"),
                                            QRegularExpression::MultilineOption);
  window.transientFor = transient.match(props).captured(1);
  const QString info = Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
  window.geometry = QRect(Number(info, QStringLiteral("Absolute upper-left X")), Number(info, QStringLiteral("Absolute upper-left Y")),
                          Number(info, QStringLiteral("Width")), Number(info, QStringLiteral("Height")));
  // "_NET_FRAME_EXTENTS = left, right, top, bottom"
  const QStringList extents = Atoms(props, QStringLiteral("_NET_FRAME_EXTENTS"), QString());
  window.frame = extents.size() == 4 ? window.geometry.adjusted(-extents[0].toInt(), -extents[2].toInt(), extents[1].toInt(),
                                                                extents[3].toInt())
                                     : window.geometry;
  return window;
}

std::optional<XWindow> CWindowSystem::Find(const QString& name) const {
  for (const XWindow& window : Windows())
    if (window.name == name) return window;
  return std::nullopt;
}

QList<XWindow> CWindowSystem::Unmanaged(const QString& wmClass) const {
  QList<XWindow> windows;
  const QString ids = Tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"), wmClass});
  for (const QString& id : ids.split(u'\n', Qt::SkipEmptyParts)) {
    const XWindow window = Describe(QStringLiteral("0x") + QString::number(id.toULongLong(), 16));
    if (window.geometry.width() > 1) windows.append(window);
  }
  return windows;
}

QString CWindowSystem::ActiveWindowName() const {
  bool ok = false;
  const QString name = Tool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}, &ok).trimmed();
  return ok ? name : QString();
}

QString CWindowSystem::ActiveWindowId() const {
  bool ok = false;
  const QString id = Tool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}, &ok).trimmed();
  return ok ? QStringLiteral("0x") + QString::number(id.toULongLong(), 16) : QString();
}

QRect CWindowSystem::WorkArea() const {
  const QString area = Tool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-notype"), QStringLiteral("_NET_WORKAREA")});
  const QStringList values = area.section(u'=', 1).split(u',');
  if (values.size() < 4) return QRect();
  return QRect(values[0].trimmed().toInt(), values[1].trimmed().toInt(), values[2].trimmed().toInt(), values[3].trimmed().toInt());
}

void CWindowSystem::Key(const QString& keys) const {
  Tool(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers")} + keys.split(u' '));
}

void CWindowSystem::BindToSpareKeys(const QString& text) const {
  QList<char32_t> wanted;
  for (const char32_t c : text.toUcs4())
    if (c > 0x7e && !wanted.contains(c)) wanted.append(c);
  if (wanted.isEmpty()) return;
  // "keycode  93 =" is a spare key; one bound earlier reads "keycode 200 = U20AC".
  const QString map = Tool(QStringLiteral("xmodmap"), {QStringLiteral("-pke")});
  static const QRegularExpression line(QStringLiteral("^keycode\\s+(\\d+) =(.*)$"), QRegularExpression::MultilineOption);
  QList<int> spare;
  for (QRegularExpressionMatchIterator it = line.globalMatch(map); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    const QStringList syms = match.captured(2).split(u' ', Qt::SkipEmptyParts);
    if (syms.isEmpty()) spare.append(match.captured(1).toInt());
    for (const QString& sym : syms) {
      bool isCode = false;
      const char32_t bound = sym.startsWith(u'U') ? char32_t(sym.mid(1).toUInt(&isCode, 16)) : 0;
      if (isCode) wanted.removeAll(bound);
    }
  }
  QStringList expressions;
  for (const char32_t c : wanted) {
    if (spare.isEmpty()) break;  // xdotool's own remapping does the rest
    expressions << QStringLiteral("-e") << QStringLiteral("keycode %1 = U%2").arg(spare.takeLast()).arg(QString::number(uint(c), 16).toUpper());
  }
  if (!expressions.isEmpty()) Tool(QStringLiteral("xmodmap"), expressions);
}

void CWindowSystem::Type(const QString& text, int delayMs) const {
  BindToSpareKeys(text);
  Tool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), QStringLiteral("--"), text});
}

void CWindowSystem::Click(const QString& windowId, const QPoint& at, int button) const {
  Tool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), windowId, QString::number(at.x()),
                                   QString::number(at.y()), QStringLiteral("click"), QString::number(button)});
}

void CWindowSystem::ClickAt(const QPoint& at, int button) const {
  Tool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                   QStringLiteral("click"), QString::number(button)});
}

void CWindowSystem::Drag(const QPoint& from, const QPoint& to) const {
  const auto move = [this](const QPoint& at) {
    Tool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
  };
  move(from);
  Tool(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QStringLiteral("1")});
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step) {
    move(from + (to - from) * step / kSteps);
    QThread::msleep(40);
  }
  Tool(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
}

void CWindowSystem::Activate(const QString& windowId) const {
  // As the panel does when its button of the window is clicked.
  Tool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), windowId});
}

void CWindowSystem::Minimise(const QString& windowId) const {
  Tool(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), windowId});
}

QString CWindowSystem::Clipboard() const {
  return Tool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
}

QString CWindowSystem::Screenshot(const QString& fileName) const {
  const QString path = QDir(m_rig.Folder()).filePath(fileName);
  bool ok = false;
  Tool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path}, &ok);
  return ok ? path : QString();
}
