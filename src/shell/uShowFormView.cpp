#include "uShowFormView.h"

#include "controls/uNvControls.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace {

QLabel *label(QWidget *parent, const QString &text = {}, const QString &hint = {})
{
    auto *l = new QLabel(text, parent);
    l->setToolTip(hint);
    return l;
}

QFrame *divider(QWidget *parent, QFrame::Shape shape)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(shape);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

void setColour(QLabel *l, const QColor &colour)
{
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
}

} // namespace

TShowFormView::TShowFormView(QWidget *parent) : QWidget(parent)
{
    barUnique = new TNvBar(this);
    barUnique->setObjectName(QStringLiteral("barUnique"));
    m_hDivider = divider(this, QFrame::HLine);
    m_vDivider = divider(this, QFrame::VLine);

    PanelTitre = new QFrame(this);
    EnCoursLab = label(PanelTitre, {},
                       QStringLiteral("Current video loaded in Kadrex.\n"
                                      "Click on it to open the parent folder."));
    scnLab = label(PanelTitre, QStringLiteral("scn"));
    srtlab = label(PanelTitre, QStringLiteral("srt"));
    moddlab = label(PanelTitre, QStringLiteral("modd"));
    SetSidecars({});

    PanelHaut = new QFrame(this);
    labFormatVideo = label(PanelHaut);
    labDecoderVideo = label(PanelHaut);
    labFormatAudio = label(PanelHaut);
    labDecoderAudio = label(PanelHaut);
    for (QLabel *audio : {labFormatAudio, labDecoderAudio})
        audio->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PanelHaut->hide();

    videoPanel = new QWidget(this);
    videoPanel->setObjectName(QStringLiteral("videoPanel"));
    videoPanel->setAutoFillBackground(true);
    QPalette black = videoPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    videoPanel->setPalette(black);

    Xslider = new QSlider(Qt::Horizontal, this);
    Yslider = new QSlider(Qt::Vertical, this);
    for (QSlider *s : {Xslider, Yslider}) {
        s->setRange(0, 10000);
        s->hide();
    }

    navframe = new QWidget(this);
    navframe->setObjectName(QStringLiteral("navframe"));
    navframe->resize(600, 120);
    navframe->hide();
    intervalloframe = new QWidget(this);
    intervalloframe->setObjectName(QStringLiteral("intervalloframe"));
    intervalloframe->resize(600, 120);
    intervalloframe->hide();

    const char *pageNames[] = {"ImagetteFrame", "SaveImagesFrame", "DVIncrustFrame",
                               "IncrustFrame"};
    for (int i = 0; i < kPageCount; ++i) {
        pages[i] = new QWidget(this);
        pages[i]->setObjectName(QString::fromLatin1(pageNames[i]));
    }

    panelImage = new QFrame(this);
    ImageLab = label(panelImage, {},
                     QStringLiteral("Next snapshot name.\n"
                                    "Click to open the folder where it will be saved."));
    ImageLab->hide();
    tbDossiers = new QToolButton(panelImage);
    ShowPage(pgImagette);
}

void TShowFormView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void TShowFormView::Relayout()
{
    m_layout = LayoutShowForm({size(), VideoOnLeft, SlidersShown, navframe->size()});
    const TShowFormLayout &l = m_layout;
    barUnique->setGeometry(0, 0, width(), 29);
    m_hDivider->setGeometry(l.horizontalDivider);
    m_vDivider->setGeometry(l.verticalDivider);
    PanelTitre->setGeometry(l.titlePanel);
    EnCoursLab->setGeometry(4, 0, l.moddLeft - 8, l.titlePanel.height());
    scnLab->setGeometry(l.scnLeft, 0, 28, l.titlePanel.height());
    srtlab->setGeometry(l.srtLeft, 0, 18, l.titlePanel.height());
    moddlab->setGeometry(l.moddLeft, 0, 32, l.titlePanel.height());
    PanelHaut->setGeometry(l.streamPanel);
    const int half = l.streamPanel.height() / 2;
    labFormatVideo->setGeometry(l.videoLabelLeft, 0, l.streamLabelWidth, half);
    labDecoderVideo->setGeometry(l.videoLabelLeft, half, l.streamLabelWidth, half);
    labFormatAudio->setGeometry(l.audioLabelLeft, 0, l.streamLabelWidth, half);
    labDecoderAudio->setGeometry(l.audioLabelLeft, half, l.streamLabelWidth, half);
    videoPanel->setGeometry(l.videoPanel);
    navframe->move(l.navFrame.topLeft());
    intervalloframe->move(l.intervalFrame.topLeft());
    for (QWidget *page : pages)
        page->setGeometry(l.pages);
    panelImage->setGeometry(l.imagePanel);
    ImageLab->setGeometry(4, 0, l.imagePanel.width() - 40, l.imagePanel.height());
    tbDossiers->setGeometry(l.imagePanel.width() - 30, 0, 26, l.imagePanel.height());
    PlaceSliders();
}

void TShowFormView::PlaceSliders()
{
    const QRect panel = videoPanel->geometry();
    const QRect destination = VideoDestination ? VideoDestination() : QRect();
    const QRect picture =
        destination.isEmpty() ? panel : destination.translated(panel.topLeft()) & panel;
    const TInlaySliderPlaces places = PlaceInlaySliders(picture.isEmpty() ? panel : picture);
    Xslider->setGeometry(places.horizontal);
    Yslider->setGeometry(places.vertical);
}

void TShowFormView::ShowPage(int index)
{
    for (QWidget *page : pages)
        page->hide();
    if (index >= 0 && index < kPageCount) {
        pages[index]->show();
        pages[index]->raise();
    }
}

int TShowFormView::ShownPage() const
{
    for (int i = 0; i < kPageCount; ++i)
        if (pages[i]->isVisibleTo(this))
            return i;
    return -1;
}

void TShowFormView::SetTitleLoading(const QString &name)
{
    setColour(EnCoursLab, QColor(128, 128, 128));
    EnCoursLab->setText(name.isEmpty() ? QString() : QStringLiteral("Loading ") + name);
}

void TShowFormView::SetTitle(const QString &name)
{
    setColour(EnCoursLab, QColor(0, 0, 128));
    EnCoursLab->setText(name);
}

void TShowFormView::SetSidecars(const TSidecars &sidecars)
{
    scnLab->setVisible(sidecars.scn);
    srtlab->setVisible(sidecars.srt);
    moddlab->setVisible(sidecars.modd);
}
