#pragma once

// A window's parts found as a person or a screen reader finds them: by their
// texts and names, not through the window's members. A part that is missing
// (or found twice) ends the run saying which, rather than crash later.

#include <QApplication>
#include <QMenu>
#include <QString>
#include <QWidget>

namespace WindowParts {

// Widgets of this window only: other windows may be its children.
template <typename T, typename Match>
T* Only(const QWidget& window, Match match, const QString& what) {
  T* found = nullptr;
  for (T* widget : window.findChildren<T*>())
    if (widget->window() == &window && match(widget)) {
      if (found != nullptr) qFatal("%s: two parts are %s", qPrintable(window.windowTitle()), qPrintable(what));
      found = widget;
    }
  if (found == nullptr) qFatal("%s: no part is %s", qPrintable(window.windowTitle()), qPrintable(what));
  return found;
}

// By the object name the window gives it.
template <typename T>
T* Named(const QWidget& window, const char* name) {
  return Only<T>(window, [name](T* w) { return w->objectName() == QLatin1String(name); }, QString::fromLatin1(name));
}

// By the name a screen reader reads out.
template <typename T>
T* Called(const QWidget& window, const QString& name) {
  return Only<T>(window, [&name](T* w) { return w->accessibleName() == name; }, u'"' + name + u'"');
}

// A button (push, radio or check box) by its text, the mnemonic's "&" aside.
template <typename T>
T* Button(const QWidget& window, const QString& text) {
  return Only<T>(window, [&text](T* b) { return QString(b->text()).remove(u'&') == text; }, u'"' + text + u'"');
}

// The pop-up menu on the screen, if any.
inline QMenu* ShownMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

}  // namespace WindowParts
