#pragma once

#include <QColor>
#include <QIcon>
#include <optional>

// Symbols and controls that stand out from what lies behind them, on light and dark desktops.
namespace pinlet {

// Black or white, whichever stands out more from the colour.
[[nodiscard]] QColor contrastingColour(const QColor& colour);

// A symbol's shape kept, in the colour given, as symbolic icons are drawn; ringed with the halo
// colour where one is given, so that it shows on a background of any lightness.
[[nodiscard]] QIcon symbolIn(const QIcon& shape, const QColor& colour,
                             const std::optional<QColor>& halo = std::nullopt);

// Outlines check boxes in the text colour where the application draws in Qt's own style, Fusion,
// whose outline is a shade of the window colour that barely shows on a dark one.
void outlineCheckBoxes();

} // namespace pinlet
