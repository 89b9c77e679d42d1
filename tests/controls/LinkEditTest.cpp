#include "controls/uLinkEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTextBlock>

namespace {

class LinkEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFont font("Sans");
        font.setPointSize(9);
        edit.setFont(font);
        edit.resize(400, 200);
        edit.show();
    }

    // The format the document holds for the character at pos.
    QTextCharFormat formatAt(int pos)
    {
        QTextCursor cursor(edit.document());
        cursor.setPosition(pos + 1);
        return cursor.charFormat();
    }

    Qt::Alignment alignmentOf(int block)
    {
        return edit.document()->findBlockByNumber(block).blockFormat().alignment();
    }

    // The middle of the character at pos, in viewport coordinates.
    QPoint pointOn(int pos)
    {
        QTextCursor cursor(edit.document());
        cursor.setPosition(pos);
        const QRect before = edit.cursorRect(cursor);
        cursor.setPosition(pos + 1);
        const QRect after = edit.cursorRect(cursor);
        return {(before.x() + after.x()) / 2, before.center().y()};
    }

    void mouse(QEvent::Type type, QPoint point)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, edit.viewport()->mapToGlobal(point), button,
                          type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
        QApplication::sendEvent(edit.viewport(), &event);
    }

    void click(int pos)
    {
        mouse(QEvent::MouseButtonPress, pointOn(pos));
        mouse(QEvent::MouseButtonRelease, pointOn(pos));
    }

    void moveTo(int pos) { mouse(QEvent::MouseMove, pointOn(pos)); }

    TLinkEdit edit;
};

TEST_F(LinkEditTest, DocumentCarriesTheAttributesOfEachRun)
{
    edit.SetRichText("<b>bold</b> <i><u>iu</u></i><s>st</s><size 16>big</size><font Serif>f</font>"
                     "<color red>r</color>d");
    EXPECT_EQ(edit.toPlainText(), "bold iustbigfrd");

    const QTextCharFormat bold = formatAt(0), plain = formatAt(4), iu = formatAt(5),
                          st = formatAt(7), big = formatAt(9), serif = formatAt(12),
                          red = formatAt(13), last = formatAt(14);
    EXPECT_EQ(bold.fontWeight(), QFont::Bold);
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_TRUE(iu.fontItalic() && iu.fontUnderline() && !iu.fontStrikeOut());
    EXPECT_TRUE(st.fontStrikeOut() && !st.fontItalic());
    EXPECT_EQ(big.fontPointSize(), 16);
    EXPECT_EQ(plain.fontPointSize(), 9);
    EXPECT_EQ(last.fontPointSize(), 9);
    EXPECT_EQ(serif.fontFamilies().toStringList(), QStringList{"SERIF"});
    EXPECT_EQ(last.fontFamilies().toStringList(), QStringList{"Sans"});
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(last.foreground().color(), edit.palette().color(QPalette::Text));
}

TEST_F(LinkEditTest, ColoursComeFromTheTableAndThePalette)
{
    edit.SetUrlColor(colors::clGreen);
    edit.SetRichText("<color navy>n<color BtnFace>b<color appworkspace>a<color bogus>x"
                     "<url u>l</url>");
    EXPECT_EQ(formatAt(0).foreground().color(), QColor(0, 0, 0x80));
    EXPECT_EQ(formatAt(1).foreground().color(), edit.palette().color(QPalette::Button));
    EXPECT_EQ(formatAt(2).foreground().color(), edit.palette().color(QPalette::Base));
    EXPECT_EQ(formatAt(3).foreground().color(), edit.palette().color(QPalette::Base));
    EXPECT_EQ(formatAt(4).foreground().color(), QColor(0, 0x80, 0));
    EXPECT_TRUE(formatAt(4).fontUnderline());
}

TEST_F(LinkEditTest, BreaksMakeParagraphsWithTheirAlignment)
{
    edit.SetAlignment(Qt::AlignRight);
    edit.SetRichText("<color blue>No video</color><br center>a<br>b<BR Left>c");
    ASSERT_EQ(edit.document()->blockCount(), 4);
    EXPECT_EQ(edit.toPlainText(), "No video\na\nb\nc");
    EXPECT_EQ(alignmentOf(0), Qt::AlignHCenter);
    EXPECT_EQ(alignmentOf(1), Qt::AlignRight); // the label's own
    EXPECT_EQ(alignmentOf(2), Qt::AlignLeft);
    EXPECT_EQ(alignmentOf(3), Qt::AlignRight);
    EXPECT_EQ(formatAt(0).foreground().color(), QColor(0, 0, 255));
}

TEST_F(LinkEditTest, ANewTextReplacesTheOldFormatting)
{
    edit.SetRichText("<b><size 20>old<br>text");
    edit.SetRichText("plain");
    EXPECT_EQ(edit.document()->blockCount(), 1);
    EXPECT_EQ(formatAt(2).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(2).fontPointSize(), 9);
    EXPECT_EQ(edit.RichText(), "plain");
}

TEST_F(LinkEditTest, ClicksOnLinksRaiseTheirEvents)
{
    QStringList events;
    edit.OnUrlClick = [&](const QString &link) { events << "url " + link; };
    edit.OnMailClick = [&](const QString &link) { events << "mail " + link; };
    edit.OnCustomLinkClick = [&](const QString &link) { events << "link " + link; };
    // Breaks before the links: positions must agree with the document's.
    edit.SetRichText("Go<br><br center><URL Target>click</url> now<br>"
                     "<mail Me@X.org>mail</mail> <link Cmd>custom</link>x</url>y");
    ASSERT_EQ(edit.toPlainText(), "Go\n\nclick now\nmail customxy");

    const int click = 4, now = 10, mail = 14, custom = 19, stray = 26;
    for (const int pos : {click, click + 4, now, mail + 3, custom, stray, stray - 1, 0})
        this->click(pos);
    EXPECT_EQ(events, (QStringList{"url Target", "url Target", "mail Me@X.org", "link Cmd"}));
}

TEST_F(LinkEditTest, ClickBesideTheTextIsNoLink)
{
    int clicks = 0;
    edit.OnUrlClick = [&](const QString &) { ++clicks; };
    edit.SetRichText("<url t>link</url>");
    const QPoint right = pointOn(3) + QPoint(100, 0);
    mouse(QEvent::MouseButtonPress, right);
    mouse(QEvent::MouseButtonRelease, right);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(edit.CharPosAt(right), -1);
}

TEST_F(LinkEditTest, InternalCursorShowsTheHandOverLinks)
{
    edit.SetUseInternalCursor(true);
    edit.SetRichText("a <url t>link</url> b");
    moveTo(3);
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(edit.ShowHint());
    moveTo(0);
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LinkEditTest, HintEventGivesTheHintAndTheHand)
{
    const Qt::CursorShape rest = edit.viewport()->cursor().shape();
    edit.OnMailHint = [](const QString &link, QString &hint) { hint = "Write to " + link; };
    edit.SetRichText("a <mail Me@x.org>me</mail> <url u>u</url>");
    moveTo(2);
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(edit.ShowHint());
    EXPECT_EQ(edit.Hint(), "Write to Me@x.org");
    EXPECT_EQ(edit.toolTip(), "Write to Me@x.org");

    moveTo(0);
    EXPECT_EQ(edit.viewport()->cursor().shape(), rest);
    EXPECT_FALSE(edit.ShowHint());
    EXPECT_TRUE(edit.toolTip().isEmpty());

    moveTo(5); // a URL link without hint event or internal cursor: nothing changes
    EXPECT_EQ(edit.viewport()->cursor().shape(), rest);
    EXPECT_FALSE(edit.ShowHint());
}

} // namespace
