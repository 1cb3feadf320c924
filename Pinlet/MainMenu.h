#pragma once

#include <QMenu>
#include <memory>

namespace pinlet {

// Pinlet's commands and their keys under the names a user would look for, so that the shortcut
// recorder can say which command a combination would collide with. Nothing shows it: the panel
// and the tray window handle these keys themselves.
[[nodiscard]] std::unique_ptr<QMenu> makeMainMenu();

} // namespace pinlet
