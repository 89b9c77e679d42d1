#include "controls/uLinkMarkup.h"

#include <gtest/gtest.h>

namespace {

const TLinkMarkupStyle kStyle{
    {QStringLiteral("Sans"), 9, colors::clWindowText}, 0x111111, 0x222222, 0x333333};

// The runs as "{attrs}text", attrs naming what differs from the defaults:
// B I U S, c<hex colour>, s<size>, f<font>.
QString describe(const TLinkDocument &doc)
{
    QString out;
    for (const TLinkRun &run : doc.runs) {
        const TLinkCharAttrs &a = run.attrs;
        QStringList parts;
        if (a.bold)
            parts << "B";
        if (a.italic)
            parts << "I";
        if (a.underline)
            parts << "U";
        if (a.strikeOut)
            parts << "S";
        if (a.color != kStyle.defaults.color)
            parts << "c" + QString::number(quint32(a.color), 16);
        if (a.size != kStyle.defaults.size)
            parts << "s" + QString::number(a.size);
        if (a.fontName != kStyle.defaults.fontName)
            parts << "f" + a.fontName;
        out += "{" + parts.join(' ') + "}" + doc.text.mid(run.start, run.length);
    }
    return out;
}

struct FormatCase {
    const char *markup;
    const char *runs;
};

TEST(LinkMarkup, TagsFormatTheTextThatFollowsThem)
{
    const FormatCase cases[] = {
        {"<b>bold</b> plain", "{B}bold{} plain"},
        {"plain > text, no tags", "{}plain > text, no tags"},
        {"<i>it</I><U>un</u><s>st</S>", "{I}it{U}un{S}st"},
        {"<i>a<u>b</i>c</u>d", "{I}a{I U}b{U}c{}d"}, // no nesting check
        {"<Size 16>x</Size>y", "{s16}x{}y"},
        {"<SIZE big>x", "{s0}x"},
        {"<COLOR Navy>x</color>y", "{c800000}x{}y"},
        {"<color red>x<color nosuch>y", "{cff}xy"}, // unknown name: colour unchanged
        {"<color moneygreen>x<color btnface>y",
         "{cc0dcc0}x{cff00000f}y"}, // system colours stay codes
        {"<font Courier New>x</FONT>y", "{fCOURIER NEW}x{}y"},
        {"<b>open to the end", "{B}open to the end"},
        {"ab<b", "{}ab"},           // unfinished tag dropped
        {"<b<i>x", "{}<x"},         // '<' inside a tag is shown
        {"<  b  >x< /b>y", "{}xy"}, // the name is what stands before the first space
        {"<b>x</url>y", "{B}xy"},   // a stray link close restores nothing
    };
    for (const auto &c : cases)
        EXPECT_EQ(describe(BuildLinkDocument(c.markup, kStyle)).toStdString(), c.runs) << c.markup;
}

TEST(LinkMarkup, LinksTakeTheirColourAndRestoreTheSavedLook)
{
    const auto doc = BuildLinkDocument(
        "<color red><b><url Target>u</url>r<mail m>m</MAIL><s><link l>k</link>e", kStyle);
    EXPECT_EQ(describe(doc).toStdString(),
              "{B U c111111}u{B cff}r{B U c222222}m{B U S c333333}k{B S cff}e");
}

TEST(LinkMarkup, WalkStopsAtNul)
{
    QString text = "a<b>b";
    text += QChar(0);
    text += "c";
    EXPECT_EQ(describe(BuildLinkDocument(text, kStyle)).toStdString(), "{}a{B}b");
}

TEST(LinkMarkup, BreaksEndParagraphsAndAlignThem)
{
    const auto doc =
        BuildLinkDocument("a<br right>b<BR center>c<br Left>d<br middle>e<br>f", kStyle);
    EXPECT_EQ(doc.text, "a\nb\nc\nd\ne\nf");
    EXPECT_EQ(doc.paragraphs,
              (QList<TLinkAlign>{TLinkAlign::Right, TLinkAlign::Center, TLinkAlign::Left,
                                 TLinkAlign::Control, TLinkAlign::Control, TLinkAlign::Control}));
}

TEST(LinkMarkup, BreakBelongsToTheRunBeforeIt)
{
    const auto doc = BuildLinkDocument("<b>a<br></b>b", kStyle);
    EXPECT_EQ(describe(doc).toStdString(), "{B}a\n{}b");
}

TEST(LinkMarkup, LineBreaksInTheTextFoldToOneCharacterEach)
{
    // As the text document counts them: "\r\n" is one break, even split by a tag.
    EXPECT_EQ(BuildLinkDocument("a\r\nb\rc\nd\r<b>\ne", kStyle).text, "a\nb\nc\nd\ne");
    EXPECT_EQ(BuildLinkDocument("a\r\nb", kStyle).paragraphs.size(), 2);
}

TEST(LinkMarkup, LinksCoverTheirTextInShownPositions)
{
    const auto doc = BuildLinkDocument(
        "Go <URL Target>click</url><br><mail Me@X.org>m</mail> <link Cmd>c</link>", kStyle);
    ASSERT_EQ(doc.links.size(), 3);
    EXPECT_EQ(doc.text, "Go click\nm c");
    const QList<std::tuple<int, int, QString, TLinkKind>> expected = {
        {3, 8, "Target", TLinkKind::Url},
        {9, 10, "Me@X.org", TLinkKind::Mail},
        {11, 12, "Cmd", TLinkKind::Custom}};
    for (int i = 0; i < 3; ++i) {
        const TLinkRef &link = doc.links[i];
        EXPECT_EQ(std::tie(link.start, link.end, link.target, link.kind), expected[i]) << i;
    }
    EXPECT_FALSE(doc.LinkAt(2));
    EXPECT_EQ(doc.LinkAt(3)->target, "Target");
    EXPECT_EQ(doc.LinkAt(7)->target, "Target");
    EXPECT_FALSE(doc.LinkAt(8)); // the break after the link
    EXPECT_FALSE(doc.LinkAt(10));
}

TEST(LinkMarkup, OnlyAMatchingCloseMakesALink)
{
    EXPECT_TRUE(BuildLinkDocument("a</url>b", kStyle).links.isEmpty());
    EXPECT_TRUE(BuildLinkDocument("<url a>x</mail>", kStyle).links.isEmpty());

    const auto closedTwice = BuildLinkDocument("<url a>x</url>y</url>", kStyle);
    ASSERT_EQ(closedTwice.links.size(), 1);
    EXPECT_EQ(closedTwice.links[0].end, 1); // y is not part of it

    const auto mismatched = BuildLinkDocument("<url a>x</mail>y</url>", kStyle);
    ASSERT_EQ(mismatched.links.size(), 1);
    EXPECT_EQ(mismatched.links[0].end, 2);

    // A second opening replaces the first.
    const auto reopened = BuildLinkDocument("<url a>x<mail b>y</url>z</mail>", kStyle);
    ASSERT_EQ(reopened.links.size(), 1);
    EXPECT_EQ(reopened.links[0].target, "b");
    EXPECT_EQ(reopened.links[0].start, 1);
}

TEST(LinkMarkup, ColourTable)
{
    EXPECT_EQ(LinkColorByName("RED"), 0x0000FF);
    EXPECT_EQ(LinkColorByName("SKYBLUE"), 0xF0CAA6);
    EXPECT_EQ(LinkColorByName("CREAM"), 0xF0FBFF);
    EXPECT_EQ(LinkColorByName("MEDGRAY"), 0xA4A0A0);
    EXPECT_EQ(LinkColorByName("APPWORKSPACE"), colors::clAppWorkSpace);
    EXPECT_FALSE(LinkColorByName("red")); // callers pass upper case
    EXPECT_FALSE(LinkColorByName("CLRED"));
}

} // namespace
