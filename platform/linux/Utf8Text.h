#pragma once

#include <QString>
#include <string_view>

namespace platform::linux_desktop {

// UTF-8 text as a QString with every character kept. QString::fromUtf8 drops a leading U+FEFF as
// a byte order mark, but at the start of a note (pasted from a file that had one) or of a stored
// key it is text.
[[nodiscard]] QString textFromUtf8(std::string_view utf8);

} // namespace platform::linux_desktop
