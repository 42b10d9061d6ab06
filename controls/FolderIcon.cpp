#include "controls/FolderIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>

#include <algorithm>

namespace controls {

namespace {

class FolderIconEngine : public QIconEngine {
public:
    explicit FolderIconEngine(bool open) : m_open(open) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        // Drawn on a 16 x 16 grid, scaled to the square in the middle of rect.
        const qreal side = std::min(rect.width(), rect.height());
        if (side <= 0)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 16, side / 16);
        const bool disabled = mode == QIcon::Disabled;
        const QColor outline = disabled ? QColor(128, 128, 128) : QColor(150, 112, 20);
        const QColor back = disabled ? QColor(200, 200, 200) : QColor(230, 184, 60);
        const QColor front = disabled ? QColor(225, 225, 225) : QColor(252, 214, 100);
        QPen pen(outline, 1);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);

        // The back with its tab.
        QPainterPath backPath;
        backPath.moveTo(1.5, 13.5);
        backPath.lineTo(1.5, 3.5);
        backPath.lineTo(6, 3.5);
        backPath.lineTo(7.5, 5);
        backPath.lineTo(13.5, 5);
        backPath.lineTo(13.5, 13.5);
        backPath.closeSubpath();
        painter->setBrush(back);
        painter->drawPath(backPath);

        QPainterPath frontPath;
        if (m_open) {
            // The front flap, tipped forward.
            frontPath.moveTo(1.5, 13.5);
            frontPath.lineTo(4, 7.5);
            frontPath.lineTo(15.5, 7.5);
            frontPath.lineTo(13.5, 13.5);
        } else {
            frontPath.moveTo(1.5, 13.5);
            frontPath.lineTo(1.5, 6.5);
            frontPath.lineTo(13.5, 6.5);
            frontPath.lineTo(13.5, 13.5);
        }
        frontPath.closeSubpath();
        painter->setBrush(front);
        painter->drawPath(frontPath);
        painter->restore();
    }

    // Painted once for each size and mode, then taken from the cache: the
    // list paints its icons on every repaint.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QString cacheKey = QStringLiteral("lumadex-folder-%1-%2x%3-%4")
                                     .arg(m_open)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(int(mode));
        QPixmap drawn;
        if (QPixmapCache::find(cacheKey, &drawn))
            return drawn;
        drawn = QPixmap(size);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        painter.end();
        QPixmapCache::insert(cacheKey, drawn);
        return drawn;
    }

    QIconEngine *clone() const override { return new FolderIconEngine(m_open); }
    QString key() const override { return QStringLiteral("lumadex-folder"); }

private:
    bool m_open;
};

} // namespace

QIcon folderIcon(bool open)
{
    // One icon of each kind, so that their pixmaps are cached once.
    static const QIcon *const openIcon = new QIcon(new FolderIconEngine(true));
    static const QIcon *const closedIcon = new QIcon(new FolderIconEngine(false));
    return open ? *openIcon : *closedIcon;
}

} // namespace controls
