#include "uNavImages.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace navimages {

namespace {

int g_users = 0;
QList<QIcon> *g_images = nullptr;

constexpr int kSize = 16;

// A triangle pointing left or right with its tip at x.
void triangle(QPainter &p, qreal x, bool right)
{
    QPainterPath path;
    const qreal base = right ? x - 6 : x + 6;
    path.moveTo(x, kSize / 2.0);
    path.lineTo(base, 3);
    path.lineTo(base, kSize - 3);
    path.closeSubpath();
    p.fillPath(path, Qt::black);
}

// Image k: `arrows` triangles in one direction, with a bar at the tip for
// start and end, two bars for pause.
QIcon draw(int k)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const bool right = (k >= 3 && k <= 6) || k == 9;
    const int arrows = k == 8 ? 0 : (k == 0 || k == 5) ? 3 : (k == 1 || k == 4) ? 2 : 1;
    for (int i = 0; i < arrows; ++i)
        triangle(p, right ? 9 + 3 * i - 3 * (arrows - 1) / 2.0 + 3 : 7 - 3 * i, right);
    if (k == 6)
        p.fillRect(QRectF(13, 3, 2, kSize - 6), Qt::black);
    if (k == 7)
        p.fillRect(QRectF(1, 3, 2, kSize - 6), Qt::black);
    if (k == 8) {
        p.fillRect(QRectF(4, 3, 3, kSize - 6), Qt::black);
        p.fillRect(QRectF(9, 3, 3, kSize - 6), Qt::black);
    }
    if (k == 2 || k == 3)
        p.fillRect(QRectF(right ? 12 : 2, 3, 2, kSize - 6), Qt::black);
    return QIcon(pixmap);
}

} // namespace

QList<QIcon> Acquire()
{
    if (g_users++ == 0) {
        g_images = new QList<QIcon>;
        // Pixmaps need a GUI application; without one the list stays empty.
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            for (int k = 0; k < 10; ++k)
                g_images->append(draw(k));
    }
    return *g_images;
}

void Release()
{
    if (g_users == 0)
        return;
    if (--g_users == 0) {
        delete g_images;
        g_images = nullptr;
    }
}

int Users()
{
    return g_users;
}

} // namespace navimages
