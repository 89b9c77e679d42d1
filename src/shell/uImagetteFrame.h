#pragma once
// The thumbnail page: the last capture fitted into the page, the position of
// its frame, its size and its file name, which shows whether it was saved.
// Clicks on the picture and on the name are handed to the window.

#include <QFrame>

#include <functional>

class QLabel;

class TImagetteFrame : public QFrame
{
public:
    explicit TImagetteFrame(QWidget *parent = nullptr);

    QLabel *Image = nullptr, *SnapLab = nullptr, *labsnapname = nullptr,
           *labImagetteTaille = nullptr;
    QFrame *Bevel1 = nullptr, *Bevel3 = nullptr;

    // The picture seeks back to its frame; the name saves the capture.
    std::function<void()> OnPictureClick, OnNameClick;

    // A new capture, in the unsaved state.
    void ShowCapture(const QImage &image, const QString &positionText, const QString &fileName);
    void SetSaved(bool saved);
    // Back to no thumbnail: empty texts and picture, the bevel in front.
    void Clear();
    // Lays the page out for a picture of `image` pixels.
    void LayoutFor(QSize image);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void QueuePicture();

    QSize m_imageSize{4, 3};
    QImage m_image;
    bool m_pictureQueued = false;
};
