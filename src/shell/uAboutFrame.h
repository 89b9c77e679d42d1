#pragma once
// The about page: the product's full title, a text that names the program and
// its author with links to the home page, the manual and the forum, and a
// close line. The application manager shows it and handles its links.

#include <QFrame>

class QLabel;
class TLinkEdit;

// "Type F11 to close this page or <link closeAbout>click here</link>."
QString CloseLineText(const QString &key, const QString &link);

class TAboutFrame : public QFrame
{
    Q_OBJECT
public:
    explicit TAboutFrame(QWidget *parent = nullptr);

    // The information text, crediting the given components (titles and
    // their addresses) when there are any.
    static QString InfoText(const QStringList &titres, const QStringList &urls);
    // Fills the page; run each time it opens.
    void Fill(const QStringList &titres, const QStringList &urls);

    QLabel *Titre = nullptr;
    TLinkEdit *Info = nullptr;
    TLinkEdit *CloseLine = nullptr;
};
