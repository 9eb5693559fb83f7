// Every Alt+letter leads to one control of its window: each window of the
// program is opened and walked, and a mnemonic shared by two visible
// buttons, check boxes, labels with a buddy or menu entries fails.
#include "ChatDlg.h"
#include "EveryWindow.h"
#include "MySpellEditCtrl.h"
#include "SessionFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

class TestMnemonics : public QObject {
  Q_OBJECT

  QStringList m_found;  // "window - Alt+H: Chat &History | Spell C&heck"

  void Walk(QWidget* window) {
    QMap<QString, QStringList> byKey;
    const auto note = [&byKey](const QString& text) {
      const QKeySequence key = QKeySequence::mnemonic(text);
      if (!key.isEmpty()) byKey[key.toString()].append(text);
    };
    const auto shown = [window](QWidget* w) { return w->window() == window && w->isVisibleTo(window); };
    for (QAction* a : window->actions())  // a menu's entries
      if (a->isVisible()) note(a->text());
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
      if (shown(b)) note(b->text());
    for (QLabel* l : window->findChildren<QLabel*>())
      if (l->buddy() && shown(l)) note(l->text());
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
      if (it->size() > 1)
        m_found.append(window->windowTitle() + u'/' + window->metaObject()->className() + " - " + it.key() + ": " +
                       it->join(" | "));
  }

 private slots:
  void everyWindowOfTheProgram() {
    CSessionFixture session;
    session.UseScriptedServer();
    session.LogIn();
    CEveryWindow windows(session);
    windows.ForEach([this](QWidget* w, const QString&) { Walk(w); });
    const std::unique_ptr<QMenu> entryMenu = windows.Chat()->EntryBox()->CreateContextMenu();
    for (QMenu* menu : {session.Desktop().trayMenu.data(), entryMenu.get()})
      if (menu) Walk(menu);
    QVERIFY2(m_found.isEmpty(), qPrintable(m_found.join(u'\n')));
  }
};

QTEST_MAIN(TestMnemonics)
#include "tst_Mnemonics.moc"
