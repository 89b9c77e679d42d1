#include "uAboutFrame.h"

#include "controls/uLinkEdit.h"
#include "prefs/uProductInfo.h"
#include "uNvAppliMan.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

QString webLink(const QString &address, const QString &text)
{
    return QStringLiteral("<url %1>%2</url>").arg(address, text);
}

TLinkEdit *markupLabel(QWidget *parent)
{
    auto *label = new TLinkEdit(parent);
    label->setFocusPolicy(Qt::NoFocus);
    label->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    label->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return label;
}

} // namespace

QString CloseLineText(const QString &key, const QString &link)
{
    return QStringLiteral("Type %1 to close this page or <link %2>click here</link>.")
        .arg(key, link);
}

TAboutFrame::TAboutFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("AboutFrame"));
    setFrameShape(QFrame::StyledPanel);
    resize(520, 360);
    Titre = new QLabel(this);
    QFont big = Titre->font();
    big.setPointSize(16);
    big.setBold(true);
    Titre->setFont(big);
    Titre->setAlignment(Qt::AlignCenter);
    Info = markupLabel(this);
    CloseLine = markupLabel(this);
    CloseLine->SetFontColor(0x000080); // maroon
    CloseLine->SetAlignment(Qt::AlignRight);
    QFont small = CloseLine->font();
    small.setPointSize(8);
    small.setBold(true);
    small.setItalic(true);
    CloseLine->setFont(small);
    CloseLine->setFixedHeight(40);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Titre);
    layout->addWidget(Info, 1);
    layout->addWidget(CloseLine);
    Fill({}, {});
}

QString TAboutFrame::InfoText(const QStringList &titres, const QStringList &urls)
{
    using namespace appliman;
    QString credits;
    if (!titres.isEmpty()) {
        QStringList linked;
        for (qsizetype i = 0; i < titres.size(); ++i)
            linked << (i < urls.size() && !urls[i].isEmpty() ? webLink(urls[i], titres[i])
                                                             : titres[i]);
        credits = QStringLiteral("It uses ") + linked.join(QStringLiteral(", ")) +
                  QStringLiteral(".<br><br>");
    }
    const QString home = QLatin1String(kHomePage);
    return QStringLiteral("<b>%1</b> extracts still images from video files.<br>"
                          "It is written by %2 (<mail %3>%3</mail>).<br><br>")
               .arg(QLatin1String(product::kTitle), QLatin1String(product::kMaker),
                    QLatin1String(kContactAddress)) +
           credits + QStringLiteral("Last update: %1.<br><br>").arg(LastUpdate()) +
           QStringLiteral("Home page: ") + webLink(home, home) + QStringLiteral("<br>") +
           QStringLiteral("Manual: ") +
           webLink(QLatin1String(kDocumentation), QLatin1String(kDocumentation)) +
           QStringLiteral("<br>") + QStringLiteral("Forum: ") +
           webLink(QLatin1String(kForum), QLatin1String(kForum));
}

void TAboutFrame::Fill(const QStringList &titres, const QStringList &urls)
{
    Titre->setText(product::fullName());
    Info->SetRichText(InfoText(titres, urls));
    CloseLine->SetRichText(CloseLineText(QStringLiteral("F11"), QStringLiteral("closeAbout")));
}
