#include "MySpellEditCtrl.h"

#include "DictionaryLanguages.h"
#include "SharedDictionary.h"
#include "SpellWords.h"
#include "ThemeColours.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

constexpr int kMarkPeriodMs = 4000;

}  // namespace

CMySpellEditCtrl::CMySpellEditCtrl(QWidget* parent, CSharedDictionary* store)
    : QPlainTextEdit(parent), m_pStore(store != nullptr ? store : &CSharedDictionary::Instance()) {
  connect(&m_timer, &QTimer::timeout, this, &CMySpellEditCtrl::OnTimer);
  m_timer.start(kMarkPeriodMs);
}

CMySpellEditCtrl::~CMySpellEditCtrl() {
  if (m_bSpellCheck) m_pStore->Release();
}

void CMySpellEditCtrl::SetSpellCheck(bool on) {
  FreeDictionary();
  if (on) m_bSpellCheck = m_pStore->Acquire();
}

QString CMySpellEditCtrl::SpellCheckProblem() const { return m_pStore->Problem(); }

void CMySpellEditCtrl::SetLanguage(const QString& code) {
  CDictionaryLanguages& languages = CDictionaryLanguages::Instance();
  if (code == m_strLanguage) {
    m_strWantedLanguage.clear();
    return;
  }
  const std::optional<CDictionaryLanguages::Language> language = languages.Find(code);
  if (!language || !language->offered) return;
  m_strWantedLanguage = code;
  if (languages.IsReady(code)) {
    SwitchStore(code);
    return;
  }
  connect(&languages, &CDictionaryLanguages::Prepared, this, &CMySpellEditCtrl::OnLanguagePrepared, Qt::UniqueConnection);
  languages.Prepare(code);
}

void CMySpellEditCtrl::OnLanguagePrepared(const QString& code, bool ok) {
  if (ok && code == m_strWantedLanguage) SwitchStore(code);
}

void CMySpellEditCtrl::SwitchStore(const QString& code) {
  CSharedDictionary* store = CDictionaryLanguages::Instance().Store(code);
  m_strWantedLanguage.clear();
  if (store == nullptr || store == m_pStore) return;
  const bool on = m_bSpellCheck;
  FreeDictionary();
  m_pStore = store;
  m_strLanguage = code;
  if (on) SetSpellCheck(true);
  OnTimer();
}

void CMySpellEditCtrl::FreeDictionary() {
  if (m_bSpellCheck) m_pStore->Release();
  // Checking goes off with the store, so neither the next tick nor the
  // menu can reach words this box no longer holds.
  m_bSpellCheck = false;
  if (!m_marks.isEmpty()) {
    m_marks.clear();
    viewport()->update();
  }
}

void CMySpellEditCtrl::IgnoreWord(const QByteArray& word) { m_ignored.insert(word.toLower()); }

bool CMySpellEditCtrl::IsIgnored(const QByteArray& word) const {
  return !m_ignored.isEmpty() && m_ignored.contains(word.toLower());
}

QList<QPair<int, int>> CMySpellEditCtrl::MarkedRanges() const {
  QList<QPair<int, int>> ranges;
  for (const QTextCursor& mark : m_marks) ranges.append({mark.selectionStart(), mark.selectionEnd()});
  return ranges;
}

void CMySpellEditCtrl::OnTimer() {
  QList<QTextCursor> marks;
  if (m_bSpellCheck) {
    // The visible blocks only: what scrolls into view is marked at the
    // next tick.
    const qreal bottom = viewport()->rect().bottom();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
      if (blockBoundingGeometry(block).translated(contentOffset()).top() > bottom) break;
      const QString text = block.text();
      for (const CSpellWord& word : CSpellWords::Cut(text)) {
        const QByteArray form = CSpellWords::ToStoreForm(QStringView(text).mid(word.start, word.Length()));
        if (form.isEmpty() || IsIgnored(form) || m_pStore->Lookup(form) != CDictionary::NotFound) continue;
        QTextCursor mark(document());
        mark.setPosition(block.position() + int(word.start));
        mark.setPosition(block.position() + int(word.markEnd), QTextCursor::KeepAnchor);
        marks.append(mark);
      }
    }
  }
  if (marks.isEmpty() && m_marks.isEmpty()) return;
  m_marks = std::move(marks);
  viewport()->update();
}

void CMySpellEditCtrl::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  if (m_marks.isEmpty()) return;
  QPainter painter(viewport());
  for (const QTextCursor& mark : m_marks) {
    if (mark.document() == document()) DrawMark(painter, mark);  // not after setDocument
  }
}

// One pixel high, as wide as the marked characters, on the first pixel row
// below each text line the mark touches.
void CMySpellEditCtrl::DrawMark(QPainter& painter, const QTextCursor& mark) {
  const QColor colour = ThemeColours::Readable(m_crMark, palette().color(QPalette::Base), palette());
  const int start = mark.selectionStart();
  const int end = mark.selectionEnd();
  for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
       block = block.next()) {
    if (!block.isVisible()) continue;
    const QTextLayout* layout = block.layout();
    const QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft();
    const int from = start - block.position();
    const int to = end - block.position();
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const int a = qMax(from, line.textStart());
      const int b = qMin(to, line.textStart() + line.textLength());
      if (a >= b) continue;
      const int x1 = qRound(origin.x() + line.cursorToX(a));
      const int x2 = qRound(origin.x() + line.cursorToX(b));
      const int y = qRound(origin.y() + line.y() + line.height());
      painter.fillRect(QRect(qMin(x1, x2), y, qAbs(x2 - x1), 1), colour);
    }
  }
}

void CMySpellEditCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) OnRButtonDown(event->position().toPoint());
  QPlainTextEdit::mousePressEvent(event);
}

// Puts the caret on the clicked character, so that the menu's spelling
// entries are about the word under the pointer. A selection is left alone.
void CMySpellEditCtrl::OnRButtonDown(const QPoint& pos) {
  QTextCursor at = cursorForPosition(pos);
  // That is the gap nearest to the pointer; the character under the
  // pointer is the one that starts left of it.
  if (!at.atBlockStart() && cursorRect(at).left() > pos.x()) at.movePosition(QTextCursor::PreviousCharacter);
  const QTextCursor caret = textCursor();
  if (caret.hasSelection() || caret.position() == at.position()) return;
  setTextCursor(at);
  ensureCursorVisible();
}

void CMySpellEditCtrl::contextMenuEvent(QContextMenuEvent* event) {
  setFocus(Qt::PopupFocusReason);
  const std::unique_ptr<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
}

std::unique_ptr<QMenu> CMySpellEditCtrl::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>();
  if (m_bSpellCheck) AddSpellingEntries(*menu);
  AddEditCommands(*menu);
  AddLanguageMenu(*menu);
  return menu;
}

void CMySpellEditCtrl::AddEditCommands(QMenu& menu) {
  const QTextCursor caret = textCursor();
  const bool selected = caret.hasSelection();
  const bool writable = !isReadOnly();
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  const bool pastable = clip != nullptr && clip->hasText();
  const int length = document()->characterCount() - 1;
  const bool allSelected = caret.selectionStart() == 0 && caret.selectionEnd() == length;

  const auto add = [&](const QString& text, int id, bool enabled, auto slot) {
    QAction* action = menu.addAction(text);
    action->setData(id);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, slot);
  };
  add(QStringLiteral("&Undo"), kUndo, writable && document()->isUndoAvailable(), &QPlainTextEdit::undo);
  menu.addSeparator();
  add(QStringLiteral("Cu&t"), kCut, selected && writable, &QPlainTextEdit::cut);
  add(QStringLiteral("&Copy"), kCopy, selected, &QPlainTextEdit::copy);
  add(QStringLiteral("&Paste"), kPaste, pastable && writable, &QPlainTextEdit::paste);
  add(QStringLiteral("&Delete"), kDelete, selected && writable, [this] { textCursor().removeSelectedText(); });
  menu.addSeparator();
  add(QStringLiteral("Select &All"), kSelectAll, length > 0 && !allSelected, &QPlainTextEdit::selectAll);
}

// For an unknown word at the caret: its suggestions, best first, then
// "Ignore" and "Add to Dictionary"; for a word the operator added, "Remove
// from Dictionary". The marks follow at once in this box, and in the other
// boxes at their next tick.
void CMySpellEditCtrl::AddSpellingEntries(QMenu& menu) {
  const QString text = toPlainText();
  const CSpellWord word = CSpellWords::At(text, textCursor().selectionStart());
  if (word.IsEmpty()) return;
  const QString typed = text.mid(word.start, word.Length());
  const QByteArray form = CSpellWords::ToStoreForm(typed);
  if (form.isEmpty() || IsIgnored(form)) return;
  QStringList list;
  CDictionary::LookupResult code;
  const int count = m_pStore->Suggest(form, list, code);
  if (code != CDictionary::NotFound) {
    if (!m_pStore->IsAdded(form)) return;
    QAction* remove = menu.addAction(QStringLiteral("Remove from Dictionary"));
    remove->setData(kRemoveWord);
    connect(remove, &QAction::triggered, this, [this, form] {
      if (m_bSpellCheck && m_pStore->RemoveWord(form)) OnTimer();
    });
    menu.addSeparator();
    return;
  }

  const int start = int(word.start);
  const int end = int(word.end);
  for (int i = 0; i < count; ++i) {
    QString label = list[i];
    QAction* action = menu.addAction(label.replace(u'&', QStringLiteral("&&")));
    action->setData(kFirstSuggestion + i);
    connect(action, &QAction::triggered, this,
            [this, start, end, typed, replacement = list[i]] { ReplaceWord(start, end, typed, replacement); });
  }
  if (count > 0) menu.addSeparator();
  QAction* ignore = menu.addAction(QStringLiteral("Ignore"));
  ignore->setData(kIgnore);
  connect(ignore, &QAction::triggered, this, [this, form] {
    IgnoreWord(form);
    OnTimer();
  });
  QAction* add = menu.addAction(QStringLiteral("Add to Dictionary"));
  add->setData(kFirstSuggestion + 1 + count);
  connect(add, &QAction::triggered, this, [this, form] {
    if (!m_bSpellCheck) return;
    m_pStore->AddWord(form);  // known in memory even when saving fails
    OnTimer();
  });
  menu.addSeparator();
}

// The languages to check in: the one in use ticked, those whose letters
// the dictionary files cannot hold shown but not offered.
void CMySpellEditCtrl::AddLanguageMenu(QMenu& menu) {
  const QList<CDictionaryLanguages::Language> languages = CDictionaryLanguages::Instance().Available();
  if (languages.size() < 2) return;
  menu.addSeparator();
  QMenu* submenu = menu.addMenu(QStringLiteral("Spelling &Language"));
  for (qsizetype i = 0; i < languages.size(); ++i) {
    const CDictionaryLanguages::Language& language = languages[i];
    QString label = language.name + QStringLiteral(" (") + language.code + u')';
    if (!language.offered) label += QStringLiteral(": not offered, its letters are outside Windows-1252");
    QAction* action = submenu->addAction(label.replace(u'&', QStringLiteral("&&")));
    action->setData(int(kFirstLanguage + i));
    action->setCheckable(true);
    action->setChecked(language.code == m_strLanguage);
    action->setEnabled(language.offered);
    connect(action, &QAction::triggered, this, [this, code = language.code] { SetLanguage(code); });
  }
}

// The menu runs a nested event loop, so the text may have changed while it
// was open: the word is replaced only where it still stands.
void CMySpellEditCtrl::ReplaceWord(int start, int end, const QString& typed, const QString& replacement) {
  QTextCursor cursor(document());
  if (end > document()->characterCount() - 1) return;
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  if (cursor.selectedText() != typed) return;
  cursor.insertText(replacement);
  setTextCursor(cursor);
  ensureCursorVisible();
}

void CMySpellEditCtrl::InsertAtCaret(const QString& text) {
  QTextCursor caret = textCursor();
  caret.beginEditBlock();  // a step of its own, not merged with typing
  caret.insertText(text);
  caret.endEditBlock();
  setTextCursor(caret);
}

void CMySpellEditCtrl::ClearText() {
  if (document()->isEmpty()) return;
  QTextCursor all(document());
  all.beginEditBlock();
  all.select(QTextCursor::Document);
  all.removeSelectedText();
  all.endEditBlock();
}

void CMySpellEditCtrl::PutBackLine(const QString& line) {
  QTextCursor start(document());
  start.beginEditBlock();
  start.insertText(document()->isEmpty() ? line : line + u'\n');
  start.endEditBlock();
}
