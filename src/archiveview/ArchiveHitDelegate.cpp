#include "ArchiveHitDelegate.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>

const QColor CArchiveHitDelegate::kMarkColour(255, 226, 102);

namespace {

constexpr int kPadding = 3;

QString When(const QDateTime& at) {
  return QLocale().toString(at.toLocalTime(), QLocale::ShortFormat);
}

// The document an item shows, laid out to the width it has.
void Prepare(QTextDocument& document, const QStyleOptionViewItem& option, const QModelIndex& index, int width) {
  document.setDefaultFont(option.font);
  document.setDocumentMargin(kPadding);
  document.setHtml(index.data(CArchiveHitDelegate::kRichTextRole).toString());
  document.setTextWidth(width);
}

}  // namespace

QString CArchiveHitDelegate::Who(const ArchiveChat& chat) {
  QString who = chat.visitorName.isEmpty() ? chat.visitorAddress : chat.visitorName;
  if (!chat.visitorEmail.isEmpty()) who += QStringLiteral(" (%1)").arg(chat.visitorEmail);
  if (chat.operatorChat) who = QStringLiteral("Operator chat with %1").arg(who);
  return who;
}

QString CArchiveHitDelegate::MarkedLine(const ArchiveLine& line) {
  QString html;
  int at = 0;
  for (const ArchiveMark& mark : line.marks) {
    if (mark.start < at || mark.start + mark.length > line.text.size()) continue;
    html += line.text.mid(at, mark.start - at).toHtmlEscaped();
    html += QStringLiteral("<span style=\"background-color:%1; color:#000000\">%2</span>")
                .arg(kMarkColour.name(), line.text.mid(mark.start, mark.length).toHtmlEscaped());
    at = mark.start + mark.length;
  }
  return html + line.text.mid(at).toHtmlEscaped();
}

QString CArchiveHitDelegate::RichText(const ArchiveHit& hit) {
  QString html = QStringLiteral("<b>%1</b> &nbsp; %2")
                     .arg(Who(hit.chat).toHtmlEscaped(), When(hit.chat.started).toHtmlEscaped());
  for (const ArchiveLine& line : hit.lines) html += QStringLiteral("<br>&nbsp;&nbsp;") + MarkedLine(line);
  return html;
}

QString CArchiveHitDelegate::PlainText(const ArchiveHit& hit) {
  QString text = Who(hit.chat) + QStringLiteral("  ") + When(hit.chat.started);
  for (const ArchiveLine& line : hit.lines) text += QStringLiteral("\n  ") + line.text;
  return text;
}

void CArchiveHitDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  item.text.clear();  // the background and the focus only: the text is drawn below
  const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

  QTextDocument document;
  Prepare(document, option, index, option.rect.width());
  QAbstractTextDocumentLayout::PaintContext context;
  const bool selected = option.state & QStyle::State_Selected;
  context.palette = option.palette;
  context.palette.setColor(QPalette::Text, option.palette.color(
                                               option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive,
                                               selected ? QPalette::HighlightedText : QPalette::Text));
  painter->save();
  painter->translate(option.rect.topLeft());
  painter->setClipRect(QRect(QPoint(), option.rect.size()));
  document.documentLayout()->draw(painter, context);
  painter->restore();
}

QSize CArchiveHitDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QTextDocument document;
  // As wide as the view shows: the text wraps, it never scrolls sideways.
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  const int width = view ? view->viewport()->width() : option.rect.width();
  Prepare(document, option, index, width);
  return QSize(width, int(document.size().height()));
}
