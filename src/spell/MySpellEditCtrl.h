#pragma once

#include <QColor>
#include <QList>
#include <QPlainTextEdit>
#include <QSet>
#include <QTextCursor>
#include <QTimer>

#include <memory>

class CSharedDictionary;
class QMenu;

// The message entry box of the chat windows: a plain multi-line editor that
// underlines the words the dictionary does not know, moves the caret to a
// right-clicked character, and offers suggestions, "Ignore" and "Add to
// Dictionary" for an unknown word, or "Remove from Dictionary" for a word
// the operator added, above the edit commands of its context menu. The owner switches checking
// on and off; Enter and Escape are the owner's keys.
//
// The underlines are recomputed every 4 seconds rather than on every key,
// and drawn as part of the box's own painting so that a repaint keeps them.
// They stay with their words while the text is edited in between.
class CMySpellEditCtrl : public QPlainTextEdit {
  Q_OBJECT

 public:
  // Command ids of the context menu: the edit commands keep the numbers of
  // the messages they stand for; a suggestion has kFirstSuggestion + its
  // index in the sorted list, "Add to Dictionary" kFirstSuggestion + 1 +
  // the number of suggestions.
  enum MenuId {
    kUndo = 199,
    kCut = 768,
    kCopy = 769,
    kPaste = 770,
    kDelete = 771,
    kSelectAll = 29696,
    kFirstSuggestion = 1124,
    kIgnore = 1150,
    kRemoveWord = 1151,
    kFirstLanguage = 1200,  // + the language's place in the Language menu
  };

  // store: the word store to use; by default the process's shared one.
  explicit CMySpellEditCtrl(QWidget* parent = nullptr, CSharedDictionary* store = nullptr);
  ~CMySpellEditCtrl() override;

  // Switching on takes a share of the store, loading it when no box holds
  // it; when no dictionary file can be read checking stays off.
  void SetSpellCheck(bool on);
  bool IsSpellCheckOn() const { return m_bSpellCheck; }
  // Why checking could not be switched on, or read another dictionary than
  // the operator's; empty when all went well.
  QString SpellCheckProblem() const;
  // Checks in the language of that code from now on ("en", the shipped
  // English, at first). A language whose dictionary must first be made
  // from the system's is taken once it is ready, the one before staying
  // meanwhile; a code of no language offered changes nothing.
  void SetLanguage(const QString& code);
  const QString& Language() const { return m_strLanguage; }
  // Lets go of the store and switches checking off; the owner calls it
  // when it closes.
  void FreeDictionary();
  // Words this box takes as known without the store (letter case aside),
  // for as long as the box lives.
  void IgnoreWord(const QByteArray& word);
  bool IsIgnored(const QByteArray& word) const;

  // The marking period, 4000 ms; shorter in tests.
  void SetMarkInterval(int ms) { m_timer.setInterval(ms); }
  // The marked ranges as (start, end) character indexes, in text order.
  QList<QPair<int, int>> MarkedRanges() const;

  // The context menu for the caret's word. Every entry carries its command
  // id as data; triggering one carries the command out.
  std::unique_ptr<QMenu> CreateContextMenu();

  // The changes the program makes to the text. Each is one step that Ctrl+Z
  // takes back, apart from what the operator typed before and after it
  // (clear() and setPlainText() would drop the undo history instead).
  // Puts text at the caret, replacing the selection; the caret ends after it.
  void InsertAtCaret(const QString& text);
  // Empties the box.
  void ClearText();
  // Puts back a line the service did not take, on a line of its own before
  // whatever the operator has typed since; the caret stays in that text.
  void PutBackLine(const QString& line);

 public slots:
  // Recomputes the underlines of the visible text.
  void OnTimer();

 private slots:
  void OnLanguagePrepared(const QString& code, bool ok);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnRButtonDown(const QPoint& pos);
  void AddEditCommands(QMenu& menu);
  void AddSpellingEntries(QMenu& menu);
  void AddLanguageMenu(QMenu& menu);
  void SwitchStore(const QString& code);
  void ReplaceWord(int start, int end, const QString& typed, const QString& replacement);
  void DrawMark(QPainter& painter, const QTextCursor& mark);

  CSharedDictionary* m_pStore;
  QString m_strLanguage = QStringLiteral("en");
  QString m_strWantedLanguage;  // being made ready
  QTimer m_timer;
  const QColor m_crMark{200, 0, 0};
  bool m_bSpellCheck = false;  // true exactly while this box holds a share of m_pStore
  // Each mark is a selection of the document, so it moves with the text
  // when the operator types before the next tick.
  QList<QTextCursor> m_marks;
  QSet<QByteArray> m_ignored;  // in small letters
};
