#include "uDropSourceW.h"

#include "uFichierMan.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

TFileDragControl::TFileDragControl(TFichierMan *manager) : QObject(manager), m_manager(manager) {}

void TFileDragControl::SetDragControl(QWidget *control)
{
    if (m_control) {
        m_control->removeEventFilter(this);
        m_control->setAcceptDrops(false);
    }
    m_control = control;
    if (m_control) {
        m_control->setAcceptDrops(true);
        m_control->installEventFilter(this);
    }
}

bool TFileDragControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_control)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (enter->mimeData()->hasUrls())
            enter->acceptProposedAction();
        return false;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        QStringList files;
        for (const QUrl &url : drop->mimeData()->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
        m_manager->DropFiles(files);
        drop->acceptProposedAction();
        return false; // the control still sees the drop
    }
    case QEvent::MouseButtonPress:
        m_pressed = static_cast<QMouseEvent *>(event)->position().toPoint();
        return false;
    case QEvent::MouseMove: {
        auto *move = static_cast<QMouseEvent *>(event);
        if (!(move->buttons() & (Qt::LeftButton | Qt::RightButton)))
            return true; // other moves are swallowed
        const QPoint delta = move->position().toPoint() - m_pressed;
        if (qAbs(delta.x()) < kDragDistance && qAbs(delta.y()) < kDragDistance)
            return true;
        if (m_manager->FileState() == TFichierMan::fsOpen) {
            auto *drag = new QDrag(m_control);
            auto *data = new QMimeData;
            data->setUrls({QUrl::fromLocalFile(m_manager->CurrentFileName())});
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
        }
        return false;
    }
    default:
        return false;
    }
}
