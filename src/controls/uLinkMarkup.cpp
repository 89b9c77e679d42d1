#include "uLinkMarkup.h"

#include <QHash>

namespace {

// The colour and styles an opening link tag saves and its closing tag restores.
struct TSavedLook {
    TColor color;
    bool bold, italic, underline, strikeOut;
};

struct TOpenLink {
    int start;
    QString target;
    TLinkKind kind;
};

std::optional<TLinkKind> openingLinkKind(const QString &name)
{
    if (name == u"URL")
        return TLinkKind::Url;
    if (name == u"MAIL")
        return TLinkKind::Mail;
    if (name == u"LINK")
        return TLinkKind::Custom;
    return std::nullopt;
}

std::optional<TLinkKind> closingLinkKind(const QString &name)
{
    if (name.startsWith(u'/'))
        return openingLinkKind(name.mid(1));
    return std::nullopt;
}

TLinkAlign breakAlignment(const QString &param)
{
    if (param == u"LEFT")
        return TLinkAlign::Left;
    if (param == u"RIGHT")
        return TLinkAlign::Right;
    if (param == u"CENTER")
        return TLinkAlign::Center;
    return TLinkAlign::Control;
}

bool isLineBreak(QChar ch)
{
    // The characters QTextDocument turns into a paragraph break.
    return ch == u'\n' || ch == u'\r' || ch == QChar::ParagraphSeparator || ch == QChar(0xFDD0) ||
           ch == QChar(0xFDD1);
}

class TBuilder
{
public:
    explicit TBuilder(const TLinkMarkupStyle &style) : m_style(style), m_attrs(style.defaults)
    {
        m_doc.paragraphs.append(TLinkAlign::Control);
    }

    void AddShown(QChar ch)
    {
        if (!isLineBreak(ch)) {
            m_doc.text.append(ch);
            m_afterCR = false;
            return;
        }
        // "\r\n" is one break for the document, even when a tag stands between.
        if (ch == u'\n' && m_afterCR) {
            m_afterCR = false;
            return;
        }
        AddBreak();
        m_afterCR = ch == u'\r';
    }

    void ApplyTag(const QString &tagText)
    {
        const qsizetype space = tagText.indexOf(u' ');
        const QString name = tagText.left(space < 0 ? tagText.size() : space).trimmed().toUpper();
        const QString target = space < 0 ? QString() : tagText.mid(space + 1).trimmed();
        const QString param = target.toUpper();

        if (name == u"BR") {
            if (!param.isEmpty())
                m_doc.paragraphs.last() = breakAlignment(param);
            AddBreak();
            m_afterCR = false;
        }
        CloseRun();
        ChangeAttributes(name, param, target);
    }

    TLinkDocument Finish()
    {
        // Text after the last tag takes the attributes in force, as everywhere else.
        CloseRun();
        return std::move(m_doc);
    }

private:
    void AddBreak()
    {
        m_doc.text.append(u'\n');
        m_doc.paragraphs.append(TLinkAlign::Control);
    }

    void CloseRun()
    {
        const int end = int(m_doc.text.size());
        if (end > m_runStart) {
            if (!m_doc.runs.isEmpty() && m_doc.runs.last().attrs == m_attrs)
                m_doc.runs.last().length += end - m_runStart;
            else
                m_doc.runs.append({m_runStart, end - m_runStart, m_attrs});
        }
        m_runStart = end;
    }

    void ChangeAttributes(const QString &name, const QString &param, const QString &target)
    {
        const TLinkCharAttrs &defaults = m_style.defaults;
        if (name == u"B" || name == u"/B")
            m_attrs.bold = name == u"B";
        else if (name == u"I" || name == u"/I")
            m_attrs.italic = name == u"I";
        else if (name == u"U" || name == u"/U")
            m_attrs.underline = name == u"U";
        else if (name == u"S" || name == u"/S")
            m_attrs.strikeOut = name == u"S";
        else if (name == u"COLOR")
            m_attrs.color = LinkColorByName(param).value_or(m_attrs.color);
        else if (name == u"/COLOR")
            m_attrs.color = defaults.color;
        else if (name == u"SIZE")
            m_attrs.size = param.toInt(); // 0 when not an integer
        else if (name == u"/SIZE")
            m_attrs.size = defaults.size;
        else if (name == u"FONT")
            m_attrs.fontName = param;
        else if (name == u"/FONT")
            m_attrs.fontName = defaults.fontName;
        else if (const auto kind = openingLinkKind(name))
            OpenLink(*kind, target);
        else if (const auto kind = closingLinkKind(name))
            CloseLink(*kind);
    }

    void OpenLink(TLinkKind kind, const QString &target)
    {
        m_saved = TSavedLook{m_attrs.color, m_attrs.bold, m_attrs.italic, m_attrs.underline,
                             m_attrs.strikeOut};
        m_attrs.color = kind == TLinkKind::Url    ? m_style.urlColor
                        : kind == TLinkKind::Mail ? m_style.mailColor
                                                  : m_style.linkColor;
        m_attrs.underline = true;
        m_open = TOpenLink{int(m_doc.text.size()), target, kind};
    }

    void CloseLink(TLinkKind kind)
    {
        // A closing tag with no link opened before it has nothing to restore
        // and leaves the attributes as they are.
        if (m_saved) {
            m_attrs.color = m_saved->color;
            m_attrs.bold = m_saved->bold;
            m_attrs.italic = m_saved->italic;
            m_attrs.underline = m_saved->underline;
            m_attrs.strikeOut = m_saved->strikeOut;
        }
        // Only the kind that opened closes the link; a closed link is done, so
        // a second closing tag cannot stretch it over later text.
        if (!m_open || m_open->kind != kind)
            return;
        const int end = int(m_doc.text.size());
        if (end > m_open->start)
            m_doc.links.append({m_open->start, end, m_open->target, kind});
        m_open.reset();
    }

    const TLinkMarkupStyle &m_style;
    TLinkDocument m_doc;
    TLinkCharAttrs m_attrs;
    int m_runStart = 0;
    bool m_afterCR = false;
    std::optional<TSavedLook> m_saved;
    std::optional<TOpenLink> m_open;
};

} // namespace

std::optional<TLinkRef> TLinkDocument::LinkAt(int pos) const
{
    for (const TLinkRef &link : links) {
        if (link.start <= pos && pos < link.end)
            return link;
    }
    return std::nullopt;
}

TLinkDocument BuildLinkDocument(const QString &richText, const TLinkMarkupStyle &style)
{
    TBuilder builder(style);
    bool inTag = false;
    QString tag;
    for (const QChar ch : richText) {
        if (ch.isNull())
            break;
        if (!inTag) {
            if (ch == u'<') {
                inTag = true;
                tag.clear();
            } else {
                builder.AddShown(ch);
            }
        } else if (ch == u'>') {
            inTag = false;
            builder.ApplyTag(tag);
        } else if (ch == u'<') {
            builder.AddShown(ch); // a '<' inside a tag is shown, and the tag goes on
        } else {
            tag.append(ch);
        }
    }
    return builder.Finish();
}

std::optional<TColor> LinkColorByName(const QString &upperName)
{
    static const QHash<QString, TColor> table = {
        {QStringLiteral("RED"), 0x0000FF},
        {QStringLiteral("MAROON"), 0x000080},
        {QStringLiteral("GREEN"), 0x008000},
        {QStringLiteral("NAVY"), 0x800000},
        {QStringLiteral("YELLOW"), 0x00FFFF},
        {QStringLiteral("LTGRAY"), 0xC0C0C0},
        {QStringLiteral("BLUE"), 0xFF0000},
        {QStringLiteral("MEDGRAY"), 0xA4A0A0},
        {QStringLiteral("BLACK"), 0x000000},
        {QStringLiteral("SILVER"), 0xC0C0C0},
        {QStringLiteral("WHITE"), 0xFFFFFF},
        {QStringLiteral("TEAL"), 0x808000},
        {QStringLiteral("AQUA"), 0xFFFF00},
        {QStringLiteral("MONEYGREEN"), 0xC0DCC0},
        {QStringLiteral("DKGRAY"), 0x808080},
        {QStringLiteral("CREAM"), 0xF0FBFF},
        {QStringLiteral("OLIVE"), 0x008080},
        {QStringLiteral("SKYBLUE"), 0xF0CAA6},
        {QStringLiteral("PURPLE"), 0x800080},
        {QStringLiteral("BTNFACE"), colors::clBtnFace},
        {QStringLiteral("FUCHSIA"), 0xFF00FF},
        {QStringLiteral("APPWORKSPACE"), colors::clAppWorkSpace},
        {QStringLiteral("GRAY"), 0x808080},
        {QStringLiteral("LIME"), 0x00FF00},
    };
    const auto it = table.constFind(upperName);
    if (it == table.constEnd())
        return std::nullopt;
    return *it;
}
