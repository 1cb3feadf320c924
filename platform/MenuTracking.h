#pragma once

namespace platform {

// Posted on the notification centre when a menu of the application begins holding the keyboard
// and when the last one lets it go.
inline constexpr const char* menuDidBeginTrackingNotification = "MenuDidBeginTrackingNotification";
inline constexpr const char* menuDidEndTrackingNotification = "MenuDidEndTrackingNotification";

} // namespace platform
