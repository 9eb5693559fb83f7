#include "SwayWindows.h"

#include "DesktopRig.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

void Collect(const QJsonObject& node, QList<SwayWindow>& windows) {
  if (node.value(QStringLiteral("pid")).toInteger() > 0) {
    SwayWindow window;
    window.conId = node.value(QStringLiteral("id")).toInteger();
    window.name = node.value(QStringLiteral("name")).toString();
    window.appId = node.value(QStringLiteral("app_id")).toString();
    window.pid = node.value(QStringLiteral("pid")).toInteger();
    window.focused = node.value(QStringLiteral("focused")).toBool();
    window.urgent = node.value(QStringLiteral("urgent")).toBool();
    window.visible = node.value(QStringLiteral("visible")).toBool();
    const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
    window.rect = QRect(rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
                        rect.value(QStringLiteral("width")).toInt(), rect.value(QStringLiteral("height")).toInt());
    windows.append(window);
  }
  for (const char* children : {"nodes", "floating_nodes"})
    for (const QJsonValue& child : node.value(QLatin1String(children)).toArray()) Collect(child.toObject(), windows);
}

}  // namespace

QList<SwayWindow> CSwayWindows::Windows() const {
  QList<SwayWindow> windows;
  Collect(QJsonDocument::fromJson(m_rig.Run(QStringLiteral("swaymsg"), {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")}).toUtf8())
              .object(),
          windows);
  return windows;
}

std::optional<SwayWindow> CSwayWindows::Find(const QString& name) const {
  for (const SwayWindow& window : Windows())
    if (window.name == name) return window;
  return std::nullopt;
}

QString CSwayWindows::FocusedName() const {
  for (const SwayWindow& window : Windows())
    if (window.focused) return window.name;
  return QString();
}

bool CSwayWindows::WaitForFocused(const QString& name, int ms) const {
  return QTest::qWaitFor([&] { return FocusedName() == name; }, ms);
}

void CSwayWindows::Keys(const QStringList& keysAndText) const {
  QStringList arguments = {QStringLiteral("-k"), QStringLiteral("Shift_L"), QStringLiteral("-s"), QStringLiteral("1500")};
  for (const QString& item : keysAndText) {
    if (item.startsWith(u'=')) {
      // Letters a little apart, as a person types them.
      arguments << QStringLiteral("-d") << QStringLiteral("40") << item.mid(1);
      continue;
    }
    QStringList parts = item.split(u'+');
    const QString key = parts.takeLast();
    for (const QString& modifier : parts) arguments << QStringLiteral("-M") << modifier;
    arguments << QStringLiteral("-k") << key;
    for (const QString& modifier : parts) arguments << QStringLiteral("-m") << modifier;
  }
  m_rig.Run(QStringLiteral("wtype"), arguments);
}

void CSwayWindows::Command(const QString& command) const { m_rig.Run(QStringLiteral("swaymsg"), {command}); }

QString CSwayWindows::Screenshot(const QString& fileName) const {
  const QString path = QDir(m_rig.Folder()).filePath(fileName);
  bool ok = false;
  m_rig.Run(QStringLiteral("grim"), {path}, &ok);
  return ok ? path : QString();
}
