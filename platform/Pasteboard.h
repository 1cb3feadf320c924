#pragma once

#include <string>

namespace platform {

// The system clipboard.
class Pasteboard {
public:
    Pasteboard() = default;
    Pasteboard(const Pasteboard&) = delete;
    Pasteboard& operator=(const Pasteboard&) = delete;
    virtual ~Pasteboard() = default;

    // Replaces everything on the clipboard, data of every type, with one plain string.
    virtual void setString(const std::string& utf8) = 0;
};

} // namespace platform
