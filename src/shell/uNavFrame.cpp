#include "uNavFrame.h"

#include "controls/uNvControls.h"
#include "controls/uTextGauges.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace {

// The transport row: start, minute, second and frame back, play, frame,
// second and minute forward, end.
constexpr const char *kTransport[] = {"naReculeDebut",  "naReculeHigh", "naReculeMedium",
                                      "naReculeLow",    "caPlay",       "naAvanceLow",
                                      "naAvanceMedium", "naAvanceHigh", "naAvanceFin"};

} // namespace

TNavFrame::TNavFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("navframe"));
    resize(kSize);
    tb = new QSlider(Qt::Horizontal, this);
    tb->setObjectName(QStringLiteral("tb"));
    tb->setGeometry(4, 2, kSize.width() - 8, 20);
    buttons = new TNvBar(this);
    buttons->setGeometry(4, 24, 9 * 30, 30);
    CurrentEdit = new QLineEdit(this);
    CurrentEdit->setObjectName(QStringLiteral("CurrentEdit"));
    CurrentEdit->setGeometry(9 * 30 + 10, 28, 100, 24);
    DureeLab = new QLabel(this);
    DureeLab->setObjectName(QStringLiteral("DureeLab"));
    DureeLab->setGeometry(9 * 30 + 116, 28, 90, 24);
    gaugeVolume = new TTextGauge(this);
    gaugeVolume->setObjectName(QStringLiteral("gaugeVolume"));
    gaugeVolume->setGeometry(kSize.width() - 110, 30, 104, 20);
}

void TNavFrame::BindActions(const std::function<QAction *(const QString &)> &lookup)
{
    int left = 0;
    for (const char *name : kTransport) {
        QAction *action = lookup(QString::fromLatin1(name));
        if (!action)
            continue;
        auto *button = new TNvImgSpeedButton(buttons);
        button->SetAction(action);
        button->SetLinkCaption(action->icon().isNull());
        button->resize(28, 26);
        button->move(left, 0);
        left += 30;
    }
    buttons->SetButtonHeight(26);
    buttons->Realign();
}
