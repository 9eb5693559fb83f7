// What a screen reader is told of every window: each control a person can
// reach has a name and the role of what it is, the view tabs and check
// buttons say which one is on, pressing through accessibility does what a
// click does, and values and links are reached by Tab. (The transcript's
// newest line is read through AT-SPI in tests/desktop.)
#include "AccessibleControls.h"
#include "ChatDlg.h"
#include "ConsoleParts.h"
#include "ElidedLabel.h"
#include "EveryWindow.h"
#include "FooButton.h"
#include "MainDlg.h"
#include "SessionFixture.h"
#include "VisitorDtlsDlg.h"

#include <QAccessible>
#include <QApplication>
#include <QAbstractSpinBox>
#include <QTest>

namespace {

// The role each kind of control must have; the first class it inherits decides.
const struct {
  const char* className;
  QAccessible::Role role;
} kRoles[] = {
    {"CMyHyperLink", QAccessible::Link},       {"CElidedLabel", QAccessible::StaticText},
    {"CIconButton", QAccessible::Button},      {"CHyperButtonEx", QAccessible::Button},
    {"QCheckBox", QAccessible::CheckBox},      {"QRadioButton", QAccessible::RadioButton},
    {"QLineEdit", QAccessible::EditableText},  {"QComboBox", QAccessible::ComboBox},
    {"QTextBrowser", QAccessible::StaticText}, {"QTextEdit", QAccessible::EditableText},  {"QPlainTextEdit", QAccessible::EditableText},
    {"QAbstractSpinBox", QAccessible::SpinBox},
};

// What the windows use of FooButton: check push buttons are tabs, the rest push buttons.
QAccessible::Role FooRole(const FooButton* b) {
  return FooButton::IsCheckType(b->GetType()) ? QAccessible::PageTab : QAccessible::Button;
}

QAccessibleInterface* Of(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }

bool Selected(QWidget* tab) { return Of(tab)->state().selected && Of(tab)->state().checked; }

}  // namespace

using namespace ConsoleParts;

class TestAccessibility : public QObject {
  Q_OBJECT

  QStringList m_faults;

  void Walk(QWidget* window) {
    const QString where = window->windowTitle() + u'/' + window->metaObject()->className() + QStringLiteral(": ");
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (w->window() != window || !w->isVisibleTo(window) || w->focusPolicy() == Qt::NoFocus) continue;
      // The line edit inside a spin box is read out as the spin box.
      if (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) != nullptr) continue;
      QAccessibleInterface* a = Of(w);
      const QString what = where + w->metaObject()->className() + u' ' + a->text(QAccessible::Name);
      QAccessible::Role expected = QAccessible::NoRole;
      if (auto* foo = qobject_cast<FooButton*>(w)) expected = FooRole(foo);
      for (const auto& r : kRoles)
        if (expected == QAccessible::NoRole && w->inherits(r.className)) expected = r.role;
      if (expected != QAccessible::NoRole && a->role() != expected)
        m_faults << what + QStringLiteral(" has role %1, not %2").arg(a->role()).arg(expected);
      const QString name = a->text(QAccessible::Name);
      if (name.trimmed().isEmpty()) m_faults << what + QStringLiteral("has no name");
      if (qobject_cast<QAbstractButton*>(w) && name.contains(u'&') && !name.contains(QStringLiteral(" & ")))
        m_faults << what + QStringLiteral(" keeps its mnemonic marker");
    }
  }

 private slots:
  void initTestCase() { AccessibleControls::Install(); }

  void everyControlHasANameAndItsRole() {
    CSessionFixture session;
    session.UseScriptedServer();
    session.LogIn();
    CMainDlg& console = session.Console();
    VisitorDetails details;
    for (QString& field : details.fields) field = QStringLiteral("x");
    details.fields[VisitorDetails::Url] = QStringLiteral("http://shop.example/cart");
    details.fields[VisitorDetails::VisitorEmail] = QStringLiteral("zoe@example.com");
    CEveryWindow windows(session);
    windows.ForEach([this](QWidget* w, const QString&) { Walk(w); });
    QVERIFY2(m_faults.isEmpty(), qPrintable(m_faults.join(u'\n')));

    // Tab reaches the details' values and links, read out with their captions.
    Details(console)->ShowDetails(details);
    for (const int field : {int(VisitorDetails::Url), int(VisitorDetails::VisitorEmail), int(VisitorDetails::City)}) {
      QWidget* value = Details(console)->Value(field);
      QVERIFY(value->focusPolicy() & Qt::TabFocus);
      QVERIFY2(Of(value)->text(QAccessible::Name).endsWith(QStringLiteral(": ") + details.fields[size_t(field)]),
               qPrintable(Of(value)->text(QAccessible::Name)));
    }
  }

  // The selected view tab and the checked tool tab are told, and follow a
  // press made through accessibility as they follow a click.
  void tabsSayWhichIsSelected() {
    CSessionFixture session;
    session.UseScriptedServer();
    session.LogIn();
    CMainDlg& console = session.Console();
    const QList<FooButton*> tabs = Tabs(console);
    const CMainDlg::ViewMode views[] = {CMainDlg::ViewMode::AllVisitors, CMainDlg::ViewMode::ChatsOnly,
                                        CMainDlg::ViewMode::Operators};
    for (int v = 0; v < 3; ++v) {
      console.SwitchView(views[v]);
      for (int t = 0; t < 3; ++t) QCOMPARE(Selected(tabs[t]), t == v);
    }
    Of(tabs[0])->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(console.Mode(), CMainDlg::ViewMode::AllVisitors);
    QVERIFY(Selected(tabs[0]) && !Selected(tabs[2]));

    CVisitorChatSession chatSession(session.Engine(), &console.Session(), "10.0.0.9", "c1", "Zoe", "", true);
    CChatDlg chat(chatSession);
    chat.show();
    const QList<FooButton*> tools = chat.findChildren<FooButton*>().toList();
    const auto tool = [&](const QString& name) {
      for (FooButton* b : tools)
        if (Of(b)->text(QAccessible::Name) == name) return b;
      return static_cast<FooButton*>(nullptr);
    };
    QVERIFY(tool("Responses") && tool("Push URLs"));
    QVERIFY(Selected(tool("Responses")) && !Selected(tool("Push URLs")));
    Of(tool("Push URLs"))->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QTRY_VERIFY(!chat.IsShowingResponses());
    QVERIFY(Selected(tool("Push URLs")) && !Selected(tool("Responses")));
  }
};

QTEST_MAIN(TestAccessibility)
#include "tst_Accessibility.moc"
