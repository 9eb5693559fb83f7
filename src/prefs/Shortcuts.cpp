#include "Shortcuts.h"

#include "SettingsStore.h"

#include <QAction>
#include <QShortcut>

namespace {

// Made on first use: the root key's name is a static of another file,
// which may not be made yet while this file's statics are.
const QString& ShortcutsKey() {
  static const QString key = CSettingsStore::kRootKey + QStringLiteral("\\Shortcuts");
  return key;
}

constexpr unsigned kChats = CShortcuts::VisitorChat | CShortcuts::OperatorChat;
constexpr unsigned kCycle = CShortcuts::Console | kChats;

QList<CShortcuts::Command> MakeCommands() {
  QList<CShortcuts::Command> commands = {
      {QStringLiteral("NextChat"), QStringLiteral("Next chat"), QKeySequence(Qt::CTRL | Qt::Key_Tab), kCycle},
      {QStringLiteral("PreviousChat"), QStringLiteral("Previous chat"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), kCycle},
  };
  for (int n = 1; n <= 9; ++n)
    commands.append({CShortcuts::ChatId(n), QStringLiteral("Chat %1").arg(n),
                     QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)), kCycle});
  commands += {
      {QStringLiteral("Console"), QStringLiteral("Back to the console"), QKeySequence(Qt::CTRL | Qt::Key_0), kChats},
      {QStringLiteral("SearchArchive"), QStringLiteral("Search the chat archive"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), kCycle | CShortcuts::ArchiveTranscript},
      {QStringLiteral("Accept"), QStringLiteral("Accept"), QKeySequence(), CShortcuts::Console},
      {QStringLiteral("Preferences"), QStringLiteral("Preferences"), QKeySequence(), CShortcuts::Console},
      {QStringLiteral("ChatTransfer"), QStringLiteral("Chat Transfer"), QKeySequence(), CShortcuts::VisitorChat},
      {QStringLiteral("CloseChat"), QStringLiteral("Close Chat"), QKeySequence(), kChats},
      // As the close box: a live visitor chat asks first.
      {QStringLiteral("CloseTab"), QStringLiteral("Close the chat's window or tab"),
       QKeySequence(Qt::CTRL | Qt::Key_W), kChats},
      {QStringLiteral("MoveToNewWindow"), QStringLiteral("Move the chat's tab to a new window"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), kChats},
      {QStringLiteral("MergeWindows"), QStringLiteral("Merge all chat windows into this one"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), kChats},
      {QStringLiteral("Responses"), QStringLiteral("Responses"), QKeySequence(), CShortcuts::VisitorChat},
      {QStringLiteral("PushUrls"), QStringLiteral("Push URLs"), QKeySequence(), CShortcuts::VisitorChat},
      {QStringLiteral("Emoticons"), QStringLiteral("Emoticons"), QKeySequence(), CShortcuts::VisitorChat},
      // F7 is the spelling key of the common office programs.
      {QStringLiteral("SpellCheck"), QStringLiteral("Spell Check"), QKeySequence(Qt::Key_F7), kChats},
  };
  return commands;
}

QString Shown(const QKeySequence& key) { return key.toString(QKeySequence::NativeText); }

bool IsLetter(int key) { return key >= Qt::Key_A && key <= Qt::Key_Z; }
bool IsFunctionKey(int key) { return key >= Qt::Key_F1 && key <= Qt::Key_F35; }

// The keys an entry box, a line box or a list moves, selects and edits with.
bool IsCaretOrEditKey(int key) {
  switch (key) {
    case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Escape: case Qt::Key_Backspace:
    case Qt::Key_Delete: case Qt::Key_Insert: case Qt::Key_Home: case Qt::Key_End:
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Space: case Qt::Key_Menu:
      return true;
    default:
      return false;
  }
}

// The edit keys of the text boxes: the usual ones and whatever this
// desktop's key bindings add (Ctrl+U and Ctrl+K clear a line on X11).
bool IsTextBoxKey(const QKeyCombination& chord) {
  static const QKeySequence::StandardKey kEditKeys[] = {
      QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll,
      QKeySequence::Undo, QKeySequence::Redo, QKeySequence::DeleteCompleteLine, QKeySequence::DeleteEndOfLine,
      QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord, QKeySequence::InsertLineSeparator,
      QKeySequence::InsertParagraphSeparator};
  static const QList<QKeyCombination> kAlways = {
      Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_V, Qt::CTRL | Qt::Key_X, Qt::CTRL | Qt::Key_A,
      Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y};
  if (kAlways.contains(chord)) return true;
  for (QKeySequence::StandardKey standard : kEditKeys)
    for (const QKeySequence& binding : QKeySequence::keyBindings(standard))
      if (CShortcuts::Normalised(binding)[0] == chord) return true;
  return false;
}

}  // namespace

const QList<CShortcuts::Command>& CShortcuts::Commands() {
  static const QList<Command> commands = MakeCommands();
  return commands;
}

const CShortcuts::Command* CShortcuts::Find(const QString& id) {
  for (const Command& command : Commands())
    if (command.id == id) return &command;
  return nullptr;
}

CShortcuts::Keys CShortcuts::Defaults() {
  Keys keys;
  for (const Command& command : Commands()) keys.insert(command.id, command.defaultKey);
  return keys;
}

QString CShortcuts::ChatId(int n) { return QStringLiteral("Chat%1").arg(n); }

CShortcuts& CShortcuts::Instance() {
  static CShortcuts shortcuts;
  return shortcuts;
}

CShortcuts::CShortcuts() { Load(); }

QKeySequence CShortcuts::Normalised(const QKeySequence& key) {
  if (key.isEmpty()) return {};
  QKeyCombination chord = key[0];
  if (chord.key() == Qt::Key_Backtab) chord = QKeyCombination(chord.keyboardModifiers() | Qt::ShiftModifier, Qt::Key_Tab);
  // The keypad's digits and Enter count as the main keys: the modifier
  // would make Ctrl+1 on the keypad a key of its own.
  return QKeySequence(QKeyCombination(chord.keyboardModifiers() & ~Qt::KeypadModifier, chord.key()));
}

QString CShortcuts::Refusal(const Keys& keys, const QString& id, const QKeySequence& key) {
  const Command* command = Find(id);
  if (command == nullptr) return QStringLiteral("There is no such command.");
  if (key.isEmpty()) return {};
  if (key.count() > 1) return QStringLiteral("A shortcut is one key with its modifiers, not %1.").arg(Shown(key));
  const QKeySequence normal = Normalised(key);
  const QKeyCombination chord = normal[0];
  const Qt::KeyboardModifiers mods = chord.keyboardModifiers();
  const int k = chord.key();
  if (k == Qt::Key_unknown || k == 0 || k == Qt::Key_Shift || k == Qt::Key_Control || k == Qt::Key_Alt ||
      k == Qt::Key_Meta || k == Qt::Key_AltGr)
    return QStringLiteral("%1 is no whole key.").arg(Shown(normal));
  const bool tabWithoutCtrl = k == Qt::Key_Tab && !(mods & Qt::ControlModifier);
  if (IsCaretOrEditKey(k) || tabWithoutCtrl || IsTextBoxKey(chord))
    return QStringLiteral("%1 is needed by the text boxes.").arg(Shown(normal));
  if (!(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && !IsFunctionKey(k))
    return QStringLiteral("%1 types text: choose a key with Ctrl, Alt or a function key.").arg(Shown(normal));
  if ((mods & Qt::AltModifier) && !(mods & (Qt::ControlModifier | Qt::MetaModifier)) && IsLetter(k))
    return QStringLiteral("%1 is kept for the underlined letters of the windows.").arg(Shown(normal));
  for (const Command& other : Commands()) {
    if (other.id == id || !(other.windows & command->windows)) continue;
    if (Normalised(keys.value(other.id)) == normal)
      return QStringLiteral("%1 is already the shortcut of \"%2\".").arg(Shown(normal), other.name);
  }
  return {};
}

void CShortcuts::Load() {
  const CSettingsStore store;
  const Keys defaults = Defaults();
  Keys keys = defaults;
  QStringList chosen;  // the commands whose stored key is taken
  for (const Command& command : Commands()) {
    const std::optional<QString> text = store.ReadText(ShortcutsKey(), command.id);
    if (!text) continue;
    const QKeySequence key = QKeySequence::fromString(*text, QKeySequence::PortableText);
    // Unreadable text, or a key with more than one chord: the default.
    if (!text->isEmpty() && (key.count() != 1 || key[0].key() == Qt::Key_unknown)) continue;
    keys[command.id] = Normalised(key);
    chosen.append(command.id);
  }
  // A key refused or shared (a hand-edited file) gives way to the default,
  // one command at a time until none clashes: defaults never do.
  for (bool again = true; again;) {
    again = false;
    for (const QString& id : std::as_const(chosen)) {
      if (Refusal(keys, id, keys.value(id)).isEmpty()) continue;
      keys[id] = defaults.value(id);
      chosen.removeOne(id);
      again = true;
      break;
    }
  }
  Take(keys);
}

bool CShortcuts::Store(const Keys& keys) {
  Keys normal = Defaults();
  for (auto it = keys.cbegin(); it != keys.cend(); ++it)
    if (normal.contains(it.key())) normal[it.key()] = Normalised(it.value());
  for (auto it = normal.cbegin(); it != normal.cend(); ++it)
    if (!Refusal(normal, it.key(), it.value()).isEmpty()) return false;
  CSettingsStore store;
  store.CreateKey(ShortcutsKey());
  for (const Command& command : Commands()) {
    const QKeySequence key = normal.value(command.id);
    if (key == command.defaultKey)
      store.DeleteValue(ShortcutsKey(), command.id);
    else
      store.WriteText(ShortcutsKey(), command.id, key.toString(QKeySequence::PortableText));
  }
  Take(normal);
  return true;
}

void CShortcuts::Take(const Keys& keys) {
  if (keys == m_keys) return;
  m_keys = keys;
  emit Changed();
}

void CShortcuts::Bind(QShortcut* shortcut, const QString& id) {
  const auto apply = [this, shortcut, id] {
    const QKeySequence key = Key(id);
    QList<QKeySequence> keys = {key};
    // Shift+Tab arrives as Backtab where the keyboard map has that key at
    // the shift level, and as Tab with Shift elsewhere.
    if (!key.isEmpty() && key[0].key() == Qt::Key_Tab && (key[0].keyboardModifiers() & Qt::ShiftModifier))
      keys.append(QKeySequence(QKeyCombination(key[0].keyboardModifiers(), Qt::Key_Backtab)));
    shortcut->setKeys(key.isEmpty() ? QList<QKeySequence>() : keys);
  };
  apply();
  connect(this, &CShortcuts::Changed, shortcut, apply);
}

void CShortcuts::Bind(QAction* action, const QString& id) {
  const auto apply = [this, action, id] { action->setShortcut(Key(id)); };
  apply();
  connect(this, &CShortcuts::Changed, action, apply);
}

QShortcut* CShortcuts::AddKey(QObject* window, const QString& id) {
  auto* shortcut = new QShortcut(window);
  shortcut->setContext(Qt::WindowShortcut);
  Bind(shortcut, id);
  return shortcut;
}
