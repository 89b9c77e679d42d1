#include "uImagetteFrame.h"

#include "capture/uImageNaming.h"
#include "capture/uThumbnail.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

TImagetteFrame::TImagetteFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("ImagetteFrame"));
    Image = new QLabel(this);
    Image->setScaledContents(true);
    Image->setToolTip(
        QStringLiteral("Click on the snapshot to put the video at the position of the snapshot."));
    SnapLab = new QLabel(this);
    SnapLab->setToolTip(QStringLiteral("Timecode of image below."));
    labsnapname = new QLabel(this);
    labsnapname->setAutoFillBackground(true);
    labsnapname->setAlignment(Qt::AlignCenter);
    labImagetteTaille = new QLabel(this);
    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel3 = new QFrame(this);
    Bevel3->setFrameShape(QFrame::Box);
    Bevel3->setFrameShadow(QFrame::Sunken);
    Image->installEventFilter(this);
    labsnapname->installEventFilter(this);
    Clear();
}

void TImagetteFrame::ShowCapture(const QImage &image, const QString &positionText,
                                 const QString &fileName)
{
    m_image = image;
    SnapLab->setText(positionText);
    labsnapname->setText(fileName);
    labImagetteTaille->setText(OutputSizeText(image.size()));
    SetSaved(false);
    LayoutFor(image.size());
    QueuePicture();
}

void TImagetteFrame::QueuePicture()
{
    // Scaled once to the picture's size rather than by the label at every
    // repaint, and from the event loop, so that a grab (an intervalometer
    // run's next decode) does not wait for it.
    if (m_pictureQueued)
        return;
    m_pictureQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_pictureQueued = false;
        const QSize size = Image->size();
        if (m_image.isNull() || size.isEmpty())
            return;
        // Sampled down to twice the size, then averaged: smooth enough for a
        // thumbnail at a fraction of averaging the whole frame.
        const QImage sampled = m_image.width() > 4 * size.width()
                                   ? m_image.scaled(size * 2, Qt::IgnoreAspectRatio)
                                   : m_image;
        Image->setPixmap(QPixmap::fromImage(
            sampled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    });
}

void TImagetteFrame::SetSaved(bool saved)
{
    const TSnapNameLook look = SnapNameLook(saved);
    QPalette p = palette();
    p.setColor(QPalette::Window,
               look.background.isValid() ? look.background : p.color(QPalette::Button));
    labsnapname->setPalette(p);
    labsnapname->setCursor(look.handCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
    labsnapname->setToolTip(look.hint);
}

void TImagetteFrame::Clear()
{
    m_image = QImage();
    Image->clear();
    SnapLab->clear();
    labsnapname->clear();
    labsnapname->setPalette(palette()); // the page's own background
    labsnapname->setToolTip({});
    labImagetteTaille->clear();
    Bevel3->show();
    Bevel3->raise();
}

void TImagetteFrame::LayoutFor(QSize image)
{
    if (!image.isEmpty())
        m_imageSize = image;
    const TThumbnailLayout l = ThumbnailLayout(m_imageSize, size());
    Image->setGeometry(l.picture);
    Bevel3->setGeometry(l.picture);
    labsnapname->setGeometry(l.nameLabel.x(), l.nameLabel.y(), l.nameWidth, 20);
    SnapLab->setGeometry(l.picture.left(), l.positionTop, l.picture.width(), 20);
    Bevel1->setGeometry(l.picture.left(), l.dividerTop, l.picture.width(), 2);
    labImagetteTaille->move(l.sizeLabel.x(), l.sizeLabel.y() - labImagetteTaille->height() / 2);
    if (!m_image.isNull())
        Bevel3->hide();
    if (!m_image.isNull() && Image->pixmap().size() != Image->size())
        QueuePicture();
}

void TImagetteFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    LayoutFor({});
}

bool TImagetteFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Image && OnPictureClick)
            OnPictureClick();
        else if (watched == labsnapname && OnNameClick && !labsnapname->text().isEmpty())
            OnNameClick();
    }
    return QFrame::eventFilter(watched, event);
}
