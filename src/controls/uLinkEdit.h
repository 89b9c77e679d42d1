#pragma once
// TLinkEdit: a read-only rich-text label. Assign a text in the small tag
// language of uLinkMarkup.h with SetRichText; the label shows it formatted,
// and its links (URL, MAIL, LINK tags) change the cursor, can show a hint and
// report clicks.
//
//   auto *label = new TLinkEdit(parent);
//   label->OnUrlClick = [](const QString &url) { QDesktopServices::openUrl(url); };
//   label->SetRichText("See <url https://example.org>the home page</url>.<br center>");
//
// Events (all optional):
//   OnUrlClick, OnMailClick, OnCustomLinkClick (link)
//       a mouse button is released over a link of that kind; link is the
//       tag's target, letter case kept.
//   OnUrlHint, OnMailHint, OnCustomLinkHint (link, var linkhint)
//       the mouse moves over a link of that kind: fill linkhint with the hint
//       to show. While such a handler is set, its links show the hand cursor.
//
// The label has no frame, a transparent background and read-only on; its
// users may change all three.
// Colours, FontColor and Alignment take effect at the next SetRichText.

#include "uLinkMarkup.h"

#include <QCursor>
#include <QTextCharFormat>
#include <QTextEdit>

#include <functional>
#include <optional>

class TLinkEdit : public QTextEdit
{
    Q_OBJECT
public:
    using TLinkClickEvent = std::function<void(const QString &link)>;
    using TLinkHintEvent = std::function<void(const QString &link, QString &linkhint)>;

    explicit TLinkEdit(QWidget *parent = nullptr);

    QString RichText() const { return m_richText; }
    // Rebuilds the shown text and its formatting.
    void SetRichText(const QString &text);

    TColor UrlColor() const { return m_style.urlColor; }
    TColor MailColor() const { return m_style.mailColor; }
    TColor LinkColor() const { return m_style.linkColor; }
    void SetUrlColor(TColor color) { m_style.urlColor = color; }
    void SetMailColor(TColor color) { m_style.mailColor = color; }
    void SetLinkColor(TColor color) { m_style.linkColor = color; }

    // The colour of text outside COLOR tags (and after </COLOR>); system
    // colour codes stand for the palette (clWindowText: its text colour).
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color) { m_fontColor = color; }

    // Alignment of paragraphs that no BR parameter aligns.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

    bool UseInternalCursor() const { return m_useInternalCursor; }
    void SetUseInternalCursor(bool on) { m_useInternalCursor = on; }

    // The hint of the last link the mouse was over, and whether it is shown
    // (it is the tool tip while shown).
    QString Hint() const { return m_hint; }
    bool ShowHint() const { return m_showHint; }

    // The link under a point of the viewport, if any.
    std::optional<TLinkRef> LinkAtPoint(const QPoint &viewportPoint) const;
    // The character under a point of the viewport, or -1 off the text.
    int CharPosAt(const QPoint &viewportPoint) const;
    // The built description of the current text (positions are the document's).
    const TLinkDocument &Built() const { return m_built; }

    // The colour a TColor stands for here: 0x00BBGGRR values as they are,
    // clBtnFace / clAppWorkSpace / clWindowText as the palette's button, base
    // and text colours.
    QColor ResolveColor(TColor color) const;

    TLinkClickEvent OnUrlClick, OnMailClick, OnCustomLinkClick;
    TLinkHintEvent OnUrlHint, OnMailHint, OnCustomLinkHint;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TLinkMarkupStyle CurrentStyle() const;
    void ApplyRuns();
    void ApplyAlignments();
    QTextCharFormat CharFormat(const TLinkCharAttrs &attrs) const;
    void SetHandCursor(bool hand);
    void SetShowHint(bool show);

    QString m_richText;
    TLinkMarkupStyle m_style;
    TColor m_fontColor = colors::clWindowText;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_useInternalCursor = false;
    QString m_hint;
    bool m_showHint = false;
    std::optional<QCursor> m_restCursor; // the viewport's cursor before the hand
    TLinkDocument m_built;
};
