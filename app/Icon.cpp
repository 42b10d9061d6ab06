#include "app/Icon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include <map>

namespace app {

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon's pictures, each read from the resources when first asked for:
// making the icon costs nothing, and a window's icon is read only once the
// window has it (QIcon::addFile would read every file when the icon is made,
// before the first paint).
class ApplicationIconEngine : public QIconEngine {
public:
    QList<QSize> availableSizes(QIcon::Mode = QIcon::Normal, QIcon::State = QIcon::Off) override
    {
        QList<QSize> sizes;
        for (const int side : kSizes)
            sizes << QSize(side, side);
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side).boundedTo(QSize(256, 256));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize shown = actualSize(size, mode, state);
        if (shown.isEmpty())
            return {};
        QPixmap picture = pictureFor(shown.width());
        if (picture.size() != shown)
            picture = picture.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode != QIcon::Normal) {
            // Greyed or highlighted as the style does it for every other icon.
            QStyleOption option;
            option.palette = QApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        return picture;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap picture = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        painter->drawPixmap(rect, picture);
    }

    QIconEngine *clone() const override { return new ApplicationIconEngine; }
    QString key() const override { return QStringLiteral("lumadex-viewer"); }

private:
    // The smallest picture at least `side` pixels wide, or the largest.
    QPixmap pictureFor(int side)
    {
        int chosen = kSizes[std::size(kSizes) - 1];
        for (const int available : kSizes) {
            if (available >= side) {
                chosen = available;
                break;
            }
        }
        auto found = m_read.find(chosen);
        if (found == m_read.end())
            found = m_read.emplace(chosen, QPixmap(QStringLiteral(":/icons/lumadex-viewer-%1.png").arg(chosen), "PNG")).first;
        return found->second;
    }

    std::map<int, QPixmap> m_read;
};

} // namespace

QIcon applicationIcon()
{
    // Made once, so that every window and the tray share its pictures.
    // Never destroyed, so that no pixmap outlives the application object at
    // exit.
    static const QIcon *const icon = new QIcon(new ApplicationIconEngine);
    return *icon;
}

void showApplicationIcon(QWidget *main)
{
    QApplication::setWindowIcon(applicationIcon());
    if (main)
        main->setWindowIcon(applicationIcon());
}

} // namespace app
