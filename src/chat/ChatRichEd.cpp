#include "ChatRichEd.h"

#include "Emoticons.h"
#include "LinkDetector.h"
#include "LinkOpener.h"
#include "ResourceArt.h"
#include "ThemeColours.h"

#include <QContextMenuEvent>
#include <QBuffer>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QHash>
#include <QTextImageFormat>

namespace {

constexpr QSize kPictureSize{20, 18};
const QString kPushMarker = QStringLiteral("push-http");
const QString kLinkHref = QStringLiteral("talvero-link");

QUrl PictureName(int bitmapId) { return QUrl(QStringLiteral("emoticon:%1").arg(bitmapId)); }

// The picture at twice its size whatever the screen: the document draws it
// at the format's size, and a transcript dragged to a denser screen stays crisp.
QImage LoadPicture(int bitmapId) { return ResourceArt::Image(ResourceArt::BitmapPath(bitmapId), 2.0); }

// Outside text as the document may hold it: one kind of line break, and no
// object replacement character that would pass for a picture.
QString Sanitised(QString text) {
  // One pass in place: most lines end with "\r\n" and hold nothing else to mend.
  QChar* out = text.data();
  const QChar* in = out;
  const QChar* const end = in + text.size();
  for (; in != end; ++in) {
    if (*in == u'\r') {
      if (in + 1 != end && in[1] == u'\n') ++in;
      *out++ = u'\n';
    } else {
      *out++ = *in == QChar::ObjectReplacementCharacter ? QChar(QChar::ReplacementCharacter) : *in;
    }
  }
  text.truncate(out - text.constData());
  return text;
}

}  // namespace

const QColor CChatRichEd::kOwnColour(185, 0, 0);
const QColor CChatRichEd::kNoticeColour(0, 128, 0);
const QColor CChatRichEd::kOtherColour(0, 0, 255);

CChatRichEd::CChatRichEd(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setUndoRedoEnabled(false);
  setAccessibleName(QStringLiteral("Transcript"));
  FollowFontSize();
  connect(this, &QTextBrowser::anchorClicked, this, &CChatRichEd::OpenLink);
  // The view follows the newest line while the operator is at the bottom,
  // through appends and resizes alike; scrolling up stops that.
  QScrollBar* bar = verticalScrollBar();
  connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) { m_bFollowNewest = value >= bar->maximum(); });
  connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int max) {
    if (m_bFollowNewest) bar->setValue(max);
  });
}

QColor CChatRichEd::LineColour(TranscriptLine::Speaker speaker) {
  switch (speaker) {
    case TranscriptLine::Speaker::Own: return kOwnColour;
    case TranscriptLine::Speaker::Other: return kOtherColour;
    case TranscriptLine::Speaker::Notice: break;
  }
  return kNoticeColour;
}

int CChatRichEd::TextLength() const { return document()->characterCount() - 1; }

void CChatRichEd::AppendLine(const TranscriptLine& chatLine) {
  const QString line = Sanitised(chatLine.text) + u'\n';
  const QColor colour = LineColour(chatLine.speaker);

  const int lengthBefore = TextLength();
  QTextCursor cursor(document());
  cursor.setPosition(lengthBefore);  // the end: cheaper than moving there
  // One edit for the whole line: the document lays it out and announces it once.
  cursor.beginEditBlock();
  // The document finds a run's format by its hash: a format changed only
  // when the colour does keeps its hash, and the links' format with it.
  const QColor shown = ShownColour(colour);
  if (m_format.foreground().color() != shown || !m_format.hasProperty(QTextFormat::ForegroundBrush)) {
    m_format.setForeground(shown);
    m_format.setProperty(kLineColourProperty, colour);
    m_linkFormat = m_format;
    m_linkFormat.setAnchor(true);
    m_linkFormat.setAnchorHref(kLinkHref);
    m_linkFormat.setFontUnderline(true);
  }

  // The whole line goes in as one run in the line's format, and the
  // links' and pictures' formats are laid over their places after: every
  // insertion costs the document a walk over its cursors, so one insertion
  // and a few format changes cost far less than a run per piece.
  LineRuns runs;
  runs.text.reserve(line.size());
  // A pushed address: "sender: push-http..." shows as the sender, the colon
  // and the address in its own case.
  const qsizetype colon = line.indexOf(u':');
  if (m_bPlainLines) {
    AddPlain(runs, line);
  } else if (colon >= 0 &&
             QStringView(line).mid(colon + 2, kPushMarker.size()).compare(kPushMarker, Qt::CaseInsensitive) == 0) {
    AddPlain(runs, line.left(colon + 1) + line.mid(colon + 7));
  } else {
    for (const EmoticonPiece& piece : ScanEmoticons(line)) {
      if (piece.IsPicture())
        AddPicture(runs, piece.bitmap);
      else
        AddPlain(runs, piece.text);
    }
  }
  const int lineStart = cursor.position();
  cursor.insertText(runs.text, m_format);
  for (const LineRuns::Overlay& overlay : runs.overlays) {
    cursor.setPosition(lineStart + int(overlay.start));
    cursor.setPosition(lineStart + int(overlay.start + overlay.length), QTextCursor::KeepAnchor);
    cursor.setCharFormat(*overlay.format);
  }

  cursor.endEditBlock();

  if (lengthBefore > kSizeBound && !m_bKeepWhole) {
    QTextCursor oldest(document());
    oldest.setPosition(kTrimCount, QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
  }
}

QColor CChatRichEd::ShownColour(const QColor& lineColour) const {
  return ThemeColours::Readable(lineColour, palette().color(QPalette::Base), palette());
}

void CChatRichEd::changeEvent(QEvent* event) {
  QTextBrowser::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) RecolourLines();
  if (event->type() == QEvent::FontChange) FollowFontSize();
}

void CChatRichEd::FollowFontSize() {
  // The transcript's 10 points stand beside the dialogs' 9: it keeps that
  // proportion to the desktop's font, whatever size the operator chose.
  // The size lives in the document, so that each run's format carries only
  // its colour.
  QFont text = document()->defaultFont();
  if (font().pointSizeF() > 0)
    text.setPointSizeF(font().pointSizeF() * 10.0 / 9.0);
  else
    text.setPixelSize(font().pixelSize() * 10 / 9);
  document()->setDefaultFont(text);
}

void CChatRichEd::RecolourLines() {
  m_format = QTextCharFormat();  // the next line builds its format anew
  m_linkFormat = QTextCharFormat();
  struct Run {
    int start, length;
    QColor shown;
  };
  QList<Run> runs;  // gathered first: recolouring merges and splits fragments
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QVariant line = fragment.charFormat().property(kLineColourProperty);
      if (!line.isValid()) continue;
      const QColor shown = ShownColour(line.value<QColor>());
      if (shown != fragment.charFormat().foreground().color())
        runs.append({fragment.position(), fragment.length(), shown});
    }
  if (runs.isEmpty()) return;
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  for (const Run& run : runs) {
    cursor.setPosition(run.start);
    cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
    QTextCharFormat colour;
    colour.setForeground(run.shown);
    cursor.mergeCharFormat(colour);
  }
  cursor.endEditBlock();
}

void CChatRichEd::AddPlain(LineRuns& runs, const QString& text) const {
  // Every link shares one format: the address is the run's own text, read
  // at the click, so a long chat does not pile up a format per address.
  for (const TextLink& link : FindLinks(text)) runs.overlays.append({runs.text.size() + link.start, link.length, &m_linkFormat});
  runs.text += text;
}

void CChatRichEd::AddPicture(LineRuns& runs, int bitmapId) const {
  // One format per picture for the whole process: building its name (an
  // address) and asking the document for the picture at every code was most
  // of a line's cost. The document asks loadResource() for the picture the
  // first time it draws it.
  static QHash<int, QTextImageFormat> formats;
  auto it = formats.find(bitmapId);
  if (it == formats.end()) {
    QTextImageFormat image;
    if (!LoadPicture(bitmapId).isNull()) {
      image.setName(PictureName(bitmapId).toString());
      image.setWidth(kPictureSize.width());
      image.setHeight(kPictureSize.height());
      image.setVerticalAlignment(QTextCharFormat::AlignBaseline);
      image.setProperty(kCodeProperty, EmoticonCodeOf(bitmapId));
    }
    it = formats.insert(bitmapId, image);
  }
  if (!it->isValid()) {
    AddPlain(runs, EmoticonCodeOf(bitmapId));
    return;
  }
  // The document holds a picture as this character in the picture's format.
  runs.overlays.append({runs.text.size(), 1, &*it});
  runs.text += QChar::ObjectReplacementCharacter;
}

QVariant CChatRichEd::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource && name.scheme() == QStringLiteral("emoticon"))
    return LoadPicture(name.path().toInt());
  return QTextBrowser::loadResource(type, name);
}

QMimeData* CChatRichEd::createMimeDataFromSelection() const {
  const QTextCursor selection = textCursor();
  if (!selection.hasSelection()) return nullptr;
  // Plain text with each picture as its code, so a pasted transcript reads
  // as it was written.
  QString plain = selection.selectedText();
  for (qsizetype i = 0; i < plain.size(); ++i) {
    if (plain[i] == QChar::ParagraphSeparator || plain[i] == QChar::LineSeparator) {
      plain[i] = u'\n';
    } else if (plain[i] == QChar::ObjectReplacementCharacter) {
      QTextCursor at(document());
      at.setPosition(selection.selectionStart() + int(i) + 1);
      const QString code = at.charFormat().property(kCodeProperty).toString();
      plain.replace(i, 1, code);
      i += code.size() - 1;
    }
  }
  // Rich text with the pictures inside it, for programs that take it.
  QString html = QTextDocumentFragment(selection).toHtml();
  static const QRegularExpression kPicture(QStringLiteral("src=\"emoticon:(\\d+)\""));
  for (auto it = kPicture.globalMatch(html); it.hasNext();) {
    const QString id = it.next().captured(1);
    QByteArray png;
    // Encoded once per id: the later matches are already replaced.
    if (!html.contains(QStringLiteral("src=\"emoticon:%1\"").arg(id))) continue;
    const QImage picture = document()->resource(QTextDocument::ImageResource, PictureName(id.toInt())).value<QImage>();
    QBuffer buffer(&png);
    picture.scaled(kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(&buffer, "PNG");
    html.replace(QStringLiteral("src=\"emoticon:%1\"").arg(id),
                 QStringLiteral("src=\"data:image/png;base64,%1\"").arg(QString::fromLatin1(png.toBase64())));
  }
  auto* data = new QMimeData;
  data->setText(plain);
  data->setHtml(html);
  return data;
}

void CChatRichEd::contextMenuEvent(QContextMenuEvent* event) {
  // Shown without a nested loop: a reply may close the chat meanwhile.
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("&Copy"), this, &QTextEdit::copy);
  menu->addAction(QStringLiteral("&Select All"), this, &QTextEdit::selectAll);
  menu->popup(event->globalPos());
}

void CChatRichEd::mouseReleaseEvent(QMouseEvent* event) {
  m_lastRelease = event->position().toPoint();
  m_bReleasing = true;
  QTextBrowser::mouseReleaseEvent(event);
  m_bReleasing = false;
}

QString CChatRichEd::LinkTextAt(int position) const {
  const QTextBlock block = document()->findBlock(position);
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    if (fragment.contains(position) && fragment.charFormat().isAnchor()) return fragment.text();
  }
  return QString();
}

void CChatRichEd::OpenLink(const QUrl&) {
  // A click opens the link under the pointer; Enter, the link the keyboard
  // has selected.
  const int position = m_bReleasing ? cursorForPosition(m_lastRelease).position() : textCursor().selectionStart();
  QString link = LinkTextAt(position);
  if (link.isEmpty() && position > 0) link = LinkTextAt(position - 1);  // the click's nearest gap was after it
  if (!link.isEmpty()) CLinkOpener::Open(link);
}
