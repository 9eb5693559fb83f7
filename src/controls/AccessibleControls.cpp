#include "AccessibleControls.h"

#include "FooButton.h"
#include "MyHyperLink.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>

namespace {

// A FooButton by its type: the grouped check push buttons are the tabs of
// a view (the console's views, the chat window's Responses and Push URLs),
// one of them selected; an ungrouped one is a toggle button; check boxes,
// radio buttons and links say so. Pressing it is a click.
class CFooButtonAccessible : public QAccessibleWidget {
 public:
  explicit CFooButtonAccessible(FooButton* button) : QAccessibleWidget(button) {}

  FooButton* Button() const { return static_cast<FooButton*>(widget()); }

  QAccessible::Role role() const override {
    switch (Button()->GetType()) {
      case FooButton::CheckPushButton:
      case FooButton::HotCheckPushButton:
        return Button()->GetGroup().isEmpty() ? QAccessible::Button : QAccessible::PageTab;
      case FooButton::CheckBox: return QAccessible::CheckBox;
      case FooButton::RadioButton: return QAccessible::RadioButton;
      case FooButton::Hyperlink: return QAccessible::Link;
      case FooButton::PushButtonDropDown:
      case FooButton::HotPushButtonDropDown:
      case FooButton::SplitPushButton:
      case FooButton::HotSplitPushButton: return QAccessible::ButtonDropDown;
      default: return QAccessible::Button;
    }
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    const FooButton* b = Button();
    s.pressed = b->isDown();
    if (FooButton::IsCheckType(b->GetType())) {
      s.checkable = true;
      s.checked = b->IsChecked();
      if (role() == QAccessible::PageTab) {
        s.selectable = true;
        s.selected = b->IsChecked();
      }
    }
    if (b->isDefault()) s.defaultButton = true;
    return s;
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && Button()->accessibleName().isEmpty())
      return AccessibleControls::SpokenText(Button()->text());
    if (t == QAccessible::Accelerator) return QKeySequence::mnemonic(Button()->text()).toString(QKeySequence::NativeText);
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) {
      names << pressAction();
      if (FooButton::IsCheckType(Button()->GetType())) names << toggleAction();
    }
    return names + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& name) override {
    if (!widget()->isEnabled()) return;
    // A click after this call has returned: a command that opens a box
    // must not hold the screen reader's call meanwhile.
    if (name == pressAction() || name == toggleAction())
      Button()->animateClick();
    else
      QAccessibleWidget::doAction(name);
  }

  QStringList keyBindingsForAction(const QString& name) const override {
    const QKeySequence key = QKeySequence::mnemonic(Button()->text());
    if (name == pressAction() && !key.isEmpty()) return {key.toString(QKeySequence::NativeText)};
    return QAccessibleWidget::keyBindingsForAction(name);
  }
};

// A link: its text (or the owner's name for it), the target as the
// description, visited as traversed, and pressing it opens the target.
class CLinkAccessible : public QAccessibleWidget {
 public:
  explicit CLinkAccessible(CMyHyperLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

  CMyHyperLink* Link() const { return static_cast<CMyHyperLink*>(widget()); }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && Link()->accessibleName().isEmpty()) return Link()->GetLinkText();
    if (t == QAccessible::Value) return Link()->GetLinkText();
    if (t == QAccessible::Description && Link()->accessibleDescription().isEmpty()) return Link()->GetUrl();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.linked = !Link()->GetUrl().isEmpty();
    s.traversed = Link()->IsVisited();
    s.readOnly = true;
    return s;
  }

  QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

  void doAction(const QString& name) override {
    if (name == pressAction())
      Link()->Click();
    else
      QAccessibleWidget::doAction(name);
  }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("FooButton")) {
    if (auto* button = qobject_cast<FooButton*>(object)) return new CFooButtonAccessible(button);
  } else if (className == QLatin1String("CMyHyperLink")) {
    if (auto* link = qobject_cast<CMyHyperLink*>(object)) return new CLinkAccessible(link);
  }
  return nullptr;
}

}  // namespace

namespace AccessibleControls {

void Install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(Factory);
}

QString SpokenText(const QString& text) {
  QString spoken;
  spoken.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (++i == text.size()) break;
    }
    spoken += text[i];
  }
  return spoken;
}

}  // namespace AccessibleControls
