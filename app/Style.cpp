#include "app/Style.h"

#include <QApplication>
#include <QGroupBox>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include <algorithm>
#include <optional>

namespace app {

namespace {

// An icon made by `style` the first time it is drawn or measured.
class DeferredStandardIcon : public QIconEngine {
public:
    DeferredStandardIcon(const QStyle *style, QStyle::StandardPixmap icon) : m_style(style), m_icon(icon) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return made().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return made().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return made().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return made().availableSizes(mode, state);
    }
    bool isNull() override { return made().isNull(); }
    QIconEngine *clone() const override { return new DeferredStandardIcon(m_style, m_icon); }
    QString key() const override { return QStringLiteral("lumadex-deferred-standard-icon"); }

private:
    QIcon &made()
    {
        if (!m_made) {
            // The style may be gone by then (the application's was replaced);
            // the current one draws it instead.
            const QStyle *style = m_style ? m_style.data() : QApplication::style();
            m_made = style ? style->standardIcon(m_icon) : QIcon();
        }
        return *m_made;
    }

    QPointer<const QStyle> m_style;
    QStyle::StandardPixmap m_icon;
    std::optional<QIcon> m_made;
};

} // namespace

QIcon ViewerStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    switch (icon) {
    case SP_ToolBarHorizontalExtensionButton:
    case SP_ToolBarVerticalExtensionButton:
        // Asked for without an option, so the deferred call gives the same
        // icon (its direction is the application's).
        if (!option)
            return QIcon(new DeferredStandardIcon(baseStyle(), icon));
        break;
    default:
        break;
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

void ViewerStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    // Where Fusion of this Qt puts the frame of a titled group box: below a
    // line of the title's height and a margin of 3 pixels.
    const auto *box = qobject_cast<const QGroupBox *>(widget);
    if (element == PE_FrameGroupBox && box && !box->title().isEmpty() && !box->isCheckable()
        && baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {
        constexpr int TitleMargin = 3;
        const int top = std::max(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height())
                        + TitleMargin;
        // Fusion's picture: a faint tint inside a grey line with rounded
        // corners, a darker line just inside it.
        const QRectF line = QRectF(option->rect.adjusted(0, top, 0, 0)).adjusted(1.5, 1.5, -0.5, -0.5);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QColor(117, 117, 117, 50));
        painter->setBrush(QColor(0, 0, 0, 3));
        painter->drawRoundedRect(line, 1, 1);
        painter->setPen(QColor(0, 0, 0, 4));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(line.adjusted(1, 1, -1, -1), 1, 1);
        painter->restore();
        return;
    }
#endif
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void installViewerStyle()
{
    QApplication::setStyle(new ViewerStyle);
}

} // namespace app
