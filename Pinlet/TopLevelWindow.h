#pragma once

#include <QRect>

class QWidget;

namespace platform {
class Workspace;
}

namespace pinlet {

// The frame made no larger than the area and moved wholly into it.
[[nodiscard]] QRect fittedInto(QRect frame, const QRect& area);

// Shows one of the application's top-level windows in front, with the keyboard focus, past the
// window manager's focus-stealing prevention.
void showAsKeyWindow(QWidget& window, platform::Workspace& workspace);

} // namespace pinlet
