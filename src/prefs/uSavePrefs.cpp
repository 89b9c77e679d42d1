#include "uSavePrefs.h"

#include "actions/uRunStatus.h"
#include "controls/uLinkEdit.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// Hints are written with Windows line ends; tool tips want plain ones.
QString plainLineEnds(QString hint)
{
    return hint.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

TSavePrefsForm::TSavePrefsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SavePrefsForm"));
    Message = new TLinkEdit(this);
    Message->setFrameShape(QFrame::NoFrame);
    Message->setReadOnly(true);
    Message->setFocusPolicy(Qt::NoFocus);
    Message->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Message->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = Message->palette();
    palette.setColor(QPalette::Base, this->palette().color(QPalette::Window));
    Message->setPalette(palette);
    Message->SetRichText(MessageText());
    // As tall as its text at a fixed width: the whole message, no scroll bar.
    constexpr int kTextWidth = 520;
    Message->setLineWrapMode(QTextEdit::FixedPixelWidth);
    Message->setLineWrapColumnOrWidth(kTextWidth);
    Message->document()->setTextWidth(kTextWidth);
    Message->setFixedSize(kTextWidth + 2 * Message->frameWidth(),
                          int(Message->document()->size().height()) + 2 * Message->frameWidth());

    bNormal = addChoice(QStringLiteral("Normal"),
                        QStringLiteral("Save the Preferences in the registry.\r\n"
                                       "If an ini file existed, it will be deleted."),
                        TModeAnswer::Registre);
    bPortable = addChoice(QStringLiteral("Portable"),
                          QStringLiteral("Saves the preferences to an ini file.\r\n"
                                         "Deletes the preferences from the registry."),
                          TModeAnswer::Portable);
    bNone = addChoice(QStringLiteral("None"),
                      QStringLiteral("Exit without saving the preferences.\r\n"
                                     "If they existed in an ini-file or in the registry,\r\n"
                                     "they will be deleted."),
                      TModeAnswer::None);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(bNormal);
    buttons->addWidget(bPortable);
    buttons->addWidget(bNone);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Message);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed-size dialog
}

QString TSavePrefsForm::MessageText()
{
    return QStringLiteral(
        "<SIZE 10><I>Do you want to save your preferences and find them again on next "
        "start?<BR>Click on your choice:</I><BR>"
        "\u2022 either to save them in the registry (normal mode).<BR>"
        "\u2022 either to save them in an ini-file (portable mode).<BR>"
        "\u2022 either not to save them. In the last case, all preferences will be lost, and "
        "the default values will be loaded on the next start.</SIZE>");
}

QPushButton *TSavePrefsForm::addChoice(const QString &caption, const QString &hint,
                                       TModeAnswer choice)
{
    auto *button = new QPushButton(caption, this);
    button->setToolTip(plainLineEnds(hint));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, choice] {
        m_choice = choice;
        accept();
    });
    return button;
}

TModeAnswer TSavePrefsForm::Ask(const QString &caption)
{
    setWindowTitle(caption);
    m_choice = TModeAnswer::Cancelled;
    exec();
    return m_choice;
}

bool RunsWithoutScreen()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void InstallSavePrefsDialog(TNorvanePreferences &gp, QWidget *parent)
{
    QPointer<TSavePrefsForm> dialog = new TSavePrefsForm(parent);
    gp.OnAskMode = [dialog](const QString &caption) {
        if (!dialog || RunsWithoutScreen())
            return TModeAnswer::Unanswerable;
        return dialog->Ask(caption);
    };
    QPointer<QWidget> owner = parent;
    const QString title = gp.titre;
    gp.OnSaveError = [owner, title](const QString &message) {
        if (RunsWithoutScreen())
            TRunStatus::ReportFailure(QStringLiteral("%1: %2").arg(title, message));
        else
            QMessageBox::warning(owner, title, message);
    };
}
