#include "Pinlet/TopLevelWindow.h"

#include "platform/Workspace.h"

#include <QWidget>
#include <algorithm>

namespace pinlet {

QRect fittedInto(QRect frame, const QRect& area) {
    frame.setSize(frame.size().boundedTo(area.size()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}

void showAsKeyWindow(QWidget& window, platform::Workspace& workspace) {
    window.show();
    window.raise();
    window.activateWindow();
    workspace.makeKeyWindow(static_cast<platform::WindowId>(window.winId()));
}

} // namespace pinlet
