#include "platform/linux/QtPasteboard.h"

#include "platform/linux/Utf8Text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform::linux_desktop {

void QtPasteboard::setString(const std::string& utf8) {
    // setText() replaces the clipboard's whole contents, data of every other type included.
    QGuiApplication::clipboard()->setText(textFromUtf8(utf8), QClipboard::Clipboard);
}

} // namespace platform::linux_desktop
