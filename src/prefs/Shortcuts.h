#pragma once

#include <QKeySequence>
#include <QList>
#include <QMap>
#include <QObject>
#include <QShortcut>
#include <QString>

class QAction;

// The keys of the console's and the chat windows' commands, each command by
// a stable id with its default key and, where the operator chose another,
// that one (stored under "Software\TVR\Client\Shortcuts", one value per
// command). A key is one chord; an empty key means the command has none.
//
// A key is refused when two commands that can be active in one window
// would share it, or when it belongs to the windows already: keys without
// Ctrl, Alt or Meta type text (function keys aside), the text boxes need
// Enter, Escape, Tab, the caret's keys and the edit keys (Ctrl+C, V, X, A,
// Z...), and Alt with a letter is left to the underlined letters of the
// windows (their mnemonics), whose texts change with them.
//
// One object for the process, filled from the settings store on first use;
// windows bind their QShortcuts and QActions to a command and follow it.
class CShortcuts : public QObject {
  Q_OBJECT

 public:
  // The windows a command can be active in.
  enum Window : unsigned {
    Console = 1u << 0,
    VisitorChat = 1u << 1,
    OperatorChat = 1u << 2,
    ArchiveTranscript = 1u << 3,
  };

  struct Command {
    QString id;    // stable: the stored value's name
    QString name;  // as the Shortcuts page lists it
    QKeySequence defaultKey;
    unsigned windows;
  };
  // The operator's keys by command id, every command present.
  using Keys = QMap<QString, QKeySequence>;

  static const QList<Command>& Commands();
  static const Command* Find(const QString& id);
  static Keys Defaults();
  // The id of the command that brings the nth open chat forward (1 to 9).
  static QString ChatId(int n);

  static CShortcuts& Instance();

  // Reads the store again; Changed goes out when a key changed. A stored
  // value that is no single key, is refused or clashes gives way to the
  // command's default.
  void Load();

  QKeySequence Key(const QString& id) const { return m_keys.value(id); }
  const Keys& AllKeys() const { return m_keys; }

  // Why `key` may not become the key of command `id` beside `keys` (the
  // other commands' keys), as a sentence for the operator; empty when it
  // may. An empty key (no key) is always allowed.
  static QString Refusal(const Keys& keys, const QString& id, const QKeySequence& key);
  // The one form a key is compared and kept in: its first chord, Backtab
  // as Shift+Tab.
  static QKeySequence Normalised(const QKeySequence& key);

  // Takes and stores all keys at once; false (and nothing changes) when one
  // of them is refused. Keys equal to the default are stored as absent, so
  // a later default applies to them.
  bool Store(const Keys& keys);

  // The shortcut (or action) takes the command's key now and whenever it
  // changes, for as long as it lives.
  void Bind(QShortcut* shortcut, const QString& id);
  void Bind(QAction* action, const QString& id);
  // A shortcut of the whole window (whichever control has the keyboard)
  // bound to the command; the caller connects what it does.
  QShortcut* AddKey(QObject* window, const QString& id);
  // The command's key clicks the button while it is enabled and shown.
  template <typename Button>
  void AddButtonKey(QObject* window, const QString& id, Button* button) {
    connect(AddKey(window, id), &QShortcut::activated, button, [button] {
      if (button->isEnabled() && button->isVisible()) button->click();
    });
  }

 signals:
  void Changed();

 private:
  CShortcuts();
  void Take(const Keys& keys);

  Keys m_keys;
};
