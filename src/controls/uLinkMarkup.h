#pragma once
// The tag language of the link label, turned into a widget-free description
// of what the label shows: the plain text, runs of character attributes,
// paragraph alignments and link ranges.
//
//   <B> </B> <I> </I> <U> </U> <S> </S>      styles on / off
//   <COLOR name> </COLOR>                    colour by name (see LinkColorByName)
//   <SIZE n> </SIZE>   <FONT name> </FONT>   font size in points, font name
//   <URL target> <MAIL target> <LINK target> a link up to </URL>, </MAIL>, </LINK>
//   <BR> <BR LEFT|RIGHT|CENTER>              line break, aligning the paragraph it ends
//
// Tag names and formatting parameters ignore letter case; link targets keep
// theirs. There is no nesting check: every tag changes the current attributes
// from where it stands on. An opening link tag saves the colour and styles in
// force (one save shared by the three kinds) and any closing link tag restores
// them; a closing link tag before any opening one leaves them as they are.
//
// Character positions. The text widget (a QTextDocument) counts every
// paragraph break as one position, and turns "\r\n", "\r", "\n" and U+2029
// each into one break. The built text follows the same rule: a <BR> adds one
// '\n', and line breaks written in the text outside tags are folded to one
// '\n' each. Run, paragraph and link positions are therefore the document's
// own positions, and one walk produces both the formatting and the link
// ranges, so the two can never disagree.

#include "actions/uActionTypes.h"

#include <QList>
#include <QString>

#include <optional>

enum class TLinkKind { Url, Mail, Custom };

// Alignment of a paragraph: Control is the label's own Alignment.
enum class TLinkAlign { Control, Left, Right, Center };

struct TLinkCharAttrs {
    QString fontName;
    int size = 0; // points; 0 or less means "the label's own size"
    TColor color = colors::clWindowText;
    bool bold = false, italic = false, underline = false, strikeOut = false;

    friend bool operator==(const TLinkCharAttrs &, const TLinkCharAttrs &) = default;
};

// What the builder starts from: the label's default character attributes and
// its three link colours.
struct TLinkMarkupStyle {
    TLinkCharAttrs defaults;
    TColor urlColor = colors::clNavy;
    TColor mailColor = colors::clNavy;
    TColor linkColor = colors::clNavy;
};

struct TLinkRun {
    int start = 0;
    int length = 0;
    TLinkCharAttrs attrs;
};

struct TLinkRef {
    int start = 0; // first character of the link text
    int end = 0;   // one past the last
    QString target;
    TLinkKind kind = TLinkKind::Url;
};

struct TLinkDocument {
    QString text;                 // paragraphs separated by '\n'
    QList<TLinkRun> runs;         // cover the text, in order
    QList<TLinkAlign> paragraphs; // one per paragraph of text
    QList<TLinkRef> links;        // in text order, not overlapping

    // The link whose text holds the character at pos, if any.
    std::optional<TLinkRef> LinkAt(int pos) const;
};

// Builds the shown text from marked-up text. The walk stops at the end of the
// text or at a NUL character; an unfinished tag at the end is dropped.
TLinkDocument BuildLinkDocument(const QString &richText, const TLinkMarkupStyle &style);

// The colour table of the COLOR tag, for an upper-case name ("NAVY"). BTNFACE
// and APPWORKSPACE give the system colour codes clBtnFace and clAppWorkSpace,
// which the widget resolves through its palette.
std::optional<TColor> LinkColorByName(const QString &upperName);
