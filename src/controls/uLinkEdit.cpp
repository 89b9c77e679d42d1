#include "uLinkEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace {

Qt::Alignment toQt(TLinkAlign align, Qt::Alignment controlAlignment)
{
    switch (align) {
    case TLinkAlign::Left:
        return Qt::AlignLeft;
    case TLinkAlign::Right:
        return Qt::AlignRight;
    case TLinkAlign::Center:
        return Qt::AlignHCenter;
    case TLinkAlign::Control:
        break;
    }
    return controlAlignment;
}

// The one of three events that serves links of a kind.
template <typename Event>
const Event &byKind(TLinkKind kind, const Event &url, const Event &mail, const Event &custom)
{
    return kind == TLinkKind::Url ? url : kind == TLinkKind::Mail ? mail : custom;
}

} // namespace

TLinkEdit::TLinkEdit(QWidget *parent) : QTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setReadOnly(true);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false); // the parent's colour shows through
    viewport()->setMouseTracking(true);
}

void TLinkEdit::SetRichText(const QString &text)
{
    m_richText = text;
    m_built = BuildLinkDocument(text, CurrentStyle());
    // One edit block, so the document lays itself out once at the end.
    QTextCursor batch(document());
    batch.beginEditBlock();
    document()->setPlainText(m_built.text);
    ApplyRuns();
    ApplyAlignments();
    batch.endEditBlock();
}

TLinkMarkupStyle TLinkEdit::CurrentStyle() const
{
    TLinkMarkupStyle style = m_style;
    style.defaults = TLinkCharAttrs{};
    style.defaults.fontName = font().family();
    style.defaults.size = std::max(0, font().pointSize());
    style.defaults.color = m_fontColor;
    return style;
}

void TLinkEdit::ApplyRuns()
{
    QTextCursor cursor(document());
    for (const TLinkRun &run : m_built.runs) {
        cursor.setPosition(run.start);
        cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(CharFormat(run.attrs));
    }
}

void TLinkEdit::ApplyAlignments()
{
    int index = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next(), ++index) {
        const TLinkAlign align =
            index < m_built.paragraphs.size() ? m_built.paragraphs[index] : TLinkAlign::Control;
        QTextBlockFormat format = block.blockFormat();
        format.setAlignment(toQt(align, m_alignment));
        QTextCursor(block).setBlockFormat(format);
    }
}

QTextCharFormat TLinkEdit::CharFormat(const TLinkCharAttrs &attrs) const
{
    QTextCharFormat format;
    format.setFontFamilies(
        QStringList{attrs.fontName.isEmpty() ? font().family() : attrs.fontName});
    // A size of 0 or less (SIZE with no number) keeps the label's own size; a
    // label font given in pixels leaves the size to the document's default.
    const qreal size = attrs.size > 0 ? attrs.size : font().pointSizeF();
    if (size > 0)
        format.setFontPointSize(size);
    format.setFontWeight(attrs.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(attrs.italic);
    format.setFontUnderline(attrs.underline);
    format.setFontStrikeOut(attrs.strikeOut);
    format.setForeground(ResolveColor(attrs.color));
    return format;
}

QColor TLinkEdit::ResolveColor(TColor color) const
{
    if (color & colors::kSystem) {
        if (color == colors::clBtnFace)
            return palette().color(QPalette::Button);
        if (color == colors::clAppWorkSpace)
            return palette().color(QPalette::Base);
        return palette().color(QPalette::Text);
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int TLinkEdit::CharPosAt(const QPoint &viewportPoint) const
{
    const QPointF docPoint = QPointF(viewportPoint) +
                             QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QTextBlock block = cursorForPosition(viewportPoint).block();
    const QTextLayout *layout = block.layout();
    if (!block.isValid() || !layout)
        return -1;
    // Line geometry is relative to the block's layout; bring the point there.
    const QRectF blockRect = document()->documentLayout()->blockBoundingRect(block);
    const QPointF p = docPoint - blockRect.topLeft() + layout->boundingRect().topLeft();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF rect = line.naturalTextRect();
        if (p.y() < rect.top() || p.y() >= rect.bottom())
            continue;
        if (p.x() < rect.left() || p.x() >= rect.right() || line.textLength() == 0)
            return -1;
        return block.position() + line.xToCursor(p.x(), QTextLine::CursorOnCharacter);
    }
    return -1;
}

std::optional<TLinkRef> TLinkEdit::LinkAtPoint(const QPoint &viewportPoint) const
{
    const int pos = CharPosAt(viewportPoint);
    if (pos < 0)
        return std::nullopt;
    return m_built.LinkAt(pos);
}

void TLinkEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    const auto link = LinkAtPoint(event->position().toPoint());
    if (!link)
        return;
    // A copy: the handler may assign a new text to this label.
    const TLinkClickEvent handler = byKind(link->kind, OnUrlClick, OnMailClick, OnCustomLinkClick);
    if (handler)
        handler(link->target);
}

void TLinkEdit::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    const auto link = LinkAtPoint(event->position().toPoint());
    if (!link) {
        SetHandCursor(false);
        SetShowHint(false);
        return;
    }
    if (m_useInternalCursor)
        SetHandCursor(true);
    const TLinkHintEvent handler = byKind(link->kind, OnUrlHint, OnMailHint, OnCustomLinkHint);
    if (handler) {
        SetHandCursor(true);
        QString hint;
        handler(link->target, hint);
        m_hint = hint;
        SetShowHint(true);
    }
}

void TLinkEdit::SetHandCursor(bool hand)
{
    if (hand) {
        if (!m_restCursor)
            m_restCursor = viewport()->cursor();
        viewport()->setCursor(Qt::PointingHandCursor);
    } else if (m_useInternalCursor) {
        viewport()->setCursor(Qt::ArrowCursor);
        m_restCursor.reset();
    } else if (m_restCursor) {
        viewport()->setCursor(*m_restCursor);
        m_restCursor.reset();
    }
}

void TLinkEdit::SetShowHint(bool show)
{
    m_showHint = show;
    // The tool tip event reaches the viewport under the mouse, so both carry it.
    setToolTip(show ? m_hint : QString());
    viewport()->setToolTip(toolTip());
}
