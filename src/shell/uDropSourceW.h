#pragma once
// Files dropped on a control and the current file dragged out of it, as
// text/uri-list: an event filter on the file manager's drag control.

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;
class TFichierMan;

class TFileDragControl : public QObject
{
    Q_OBJECT
public:
    explicit TFileDragControl(TFichierMan *manager);

    // The control that accepts dropped files and from which the current
    // file can be dragged; the previous one stops accepting drops.
    void SetDragControl(QWidget *control);
    QWidget *DragControl() const { return m_control; }

    // A move this far from the press, in x or y, starts a drag.
    static constexpr int kDragDistance = 10;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TFichierMan *m_manager;
    QPointer<QWidget> m_control;
    QPoint m_pressed;
};
