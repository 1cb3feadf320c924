#include "Pinlet/Contrast.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <array>

namespace pinlet {
namespace {

// Sizes that trays and buttons ask for, so that none has to be scaled from another.
constexpr std::array symbolExtents{16, 22, 24, 32, 48, 64};
// The halo's width, in pixels for every 16 of the symbol's extent.
constexpr int haloWidthPer16 = 1;

QPixmap filled(QPixmap shape, const QColor& colour) {
    QPainter painter(&shape);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(shape.rect(), colour);
    painter.end();
    return shape;
}

// The symbol drawn over copies of itself in the halo colour, shifted every way by the halo's width.
QPixmap haloed(const QPixmap& shape, const QColor& colour, const QColor& halo) {
    const int width = std::max(1, haloWidthPer16 * shape.width() / 16);
    const QPixmap ring = filled(shape, halo);
    QPixmap symbol(shape.size());
    symbol.fill(Qt::transparent);
    QPainter painter(&symbol);
    for (int dx = -width; dx <= width; ++dx) {
        for (int dy = -width; dy <= width; ++dy) {
            painter.drawPixmap(dx, dy, ring);
        }
    }
    painter.drawPixmap(0, 0, filled(shape, colour));
    return symbol;
}

class CheckBoxOutlineStyle final : public QProxyStyle {
public:
    explicit CheckBoxOutlineStyle(QObject* owner) : QProxyStyle(QStringLiteral("fusion")) {
        setParent(owner);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        // Where the keyboard focus is, the style's own highlighted outline stays.
        const bool showsFocus = option->state.testFlag(State_HasFocus) &&
                                option->state.testFlag(State_KeyboardFocusChange);
        if (element != PE_IndicatorCheckBox || showsFocus) {
            return;
        }
        // Over Fusion's own outline, exactly where it draws it.
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->translate(0.5, 0.5);
        painter->setPen(option->palette.color(QPalette::WindowText));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

QColor contrastingColour(const QColor& colour) {
    return colour.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

QIcon symbolIn(const QIcon& shape, const QColor& colour, const std::optional<QColor>& halo) {
    QIcon symbol;
    for (const int extent : symbolExtents) {
        const QPixmap pixmap = shape.pixmap(extent);
        symbol.addPixmap(halo ? haloed(pixmap, colour, *halo) : filled(pixmap, colour));
    }
    return symbol;
}

void outlineCheckBoxes() {
    if (QApplication::style()->name() == QLatin1String("fusion")) {
        QApplication::setStyle(new CheckBoxOutlineStyle(qApp));
    }
}

} // namespace pinlet
