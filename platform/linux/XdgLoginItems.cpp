#include "platform/linux/XdgLoginItems.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <filesystem>

namespace platform::linux_desktop {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

std::string entryText(const std::string& executablePath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           QCoreApplication::applicationName().toStdString() +
           "\n"
           "Exec=" +
           desktopEntryExec(executablePath) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

// Desktops switch an entry off without deleting it.
bool isSwitchedOff(const QString& path) {
    const QSettings entry(path, QSettings::IniFormat);
    const auto flag = [&entry](const char* key) {
        return entry.value(QStringLiteral("Desktop Entry/") + QLatin1String(key)).toString();
    };
    return flag("Hidden") == QLatin1String("true") ||
           flag("X-GNOME-Autostart-enabled") == QLatin1String("false");
}

} // namespace

std::string XdgLoginItems::defaultAutostartDirectory() {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/autostart"))
        .toStdString();
}

XdgLoginItems::XdgLoginItems(std::string autostartDirectory, std::string executablePath)
    : autostartDirectory_(std::move(autostartDirectory)),
      entryPath_(autostartDirectory_ + "/" +
                 std::filesystem::path(executablePath).filename().string() + ".desktop"),
      executablePath_(std::move(executablePath)) {}

std::optional<std::string> XdgLoginItems::registerApplication() {
    if (!QDir().mkpath(qt(autostartDirectory_))) {
        return "cannot create the directory " + autostartDirectory_;
    }
    QSaveFile file(qt(entryPath_));
    const std::string text = entryText(executablePath_);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) < 0 || !file.commit()) {
        return entryPath_ + ": " + file.errorString().toStdString();
    }
    return std::nullopt;
}

std::optional<std::string> XdgLoginItems::unregisterApplication() {
    QFile file(qt(entryPath_));
    if (file.exists() && !file.remove()) {
        return entryPath_ + ": " + file.errorString().toStdString();
    }
    return std::nullopt;
}

LoginItems::Status XdgLoginItems::status() {
    const QString path = qt(entryPath_);
    return QFile::exists(path) && !isSwitchedOff(path) ? Status::enabled : Status::notRegistered;
}

std::string desktopEntryExec(const std::string& executablePath) {
    // Two layers: the argument is quoted, then the whole value is escaped as a string, which
    // doubles every backslash the quoting introduced.
    std::string value = "\"";
    for (const char c : executablePath) {
        if (c == '"' || c == '`' || c == '$') {
            value += R"(\\)";
        } else if (c == '\\') {
            value += R"(\\\)";
        } else if (c == '%') {
            value += '%'; // a lone % would start a field code
        } else if (c == '\n') {
            value += "\\n";
            continue;
        }
        value += c;
    }
    return value + "\"";
}

} // namespace platform::linux_desktop
