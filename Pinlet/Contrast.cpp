#include "Pinlet/Contrast.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <array>
#include <map>
#include <utility>

namespace pinlet {
namespace {

// Sizes that trays and buttons ask for, offered to those that pick from a list.
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

// Draws the symbol at each size only when it is first asked for: a tray or a button wants one or
// two of them, and each costs a rendering of the shape.
class SymbolEngine final : public QIconEngine {
public:
    SymbolEngine(QIcon shape, const QColor& colour, const std::optional<QColor>& halo)
        : shape_(std::move(shape)), colour_(colour), halo_(halo) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap& drawn = drawn_[{size.width(), size.height()}];
        if (drawn.isNull()) {
            const QPixmap pixmap = shape_.pixmap(size, 1.0);
            drawn = halo_ ? haloed(pixmap, colour_, *halo_) : filled(pixmap, colour_);
        }
        // The disabled and selected looks, as Qt derives them for an icon made of pixmaps.
        return mode == QIcon::Normal ? drawn : QIcon(drawn).pixmap(size, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        QList<QSize> sizes;
        for (const int extent : symbolExtents) {
            sizes.append(QSize(extent, extent));
        }
        return sizes;
    }

    [[nodiscard]] QIconEngine* clone() const override { return new SymbolEngine(*this); }

private:
    QIcon shape_;
    QColor colour_;
    std::optional<QColor> halo_;
    std::map<std::pair<int, int>, QPixmap> drawn_;
};

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
    return QIcon(new SymbolEngine(shape, colour, halo));
}

void outlineCheckBoxes() {
    if (QApplication::style()->name() == QLatin1String("fusion")) {
        QApplication::setStyle(new CheckBoxOutlineStyle(qApp));
    }
}

} // namespace pinlet
