#include "KeyboardShortcuts/resource_bundle_accessor.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLocale>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

// The tables built into the library; their initialisation is referenced from here so that it is
// linked from the archive. Qt's macro names a function at global scope.
static void initializeBuiltInTables() {
    Q_INIT_RESOURCE(KeyboardShortcuts);
}

namespace KeyboardShortcuts {
namespace {

namespace fs = std::filesystem;

// Where the tables built into the library are, as Qt's file classes read them.
const fs::path builtInTables = ":/";

constexpr std::string_view developmentLanguage = "en";
constexpr std::string_view tableExtension = ".json";

// Reported against the place this stop has always been reported against, so that the line reads
// the same wherever and however the library was built; the places searched follow.
[[noreturn]] void stopForMissingBundle(std::span<const fs::path> directories) {
    std::string searched;
    for (const fs::path& directory : directories) {
        searched += (searched.empty() ? "" : ", ") + directory.string();
    }
    std::fprintf(stderr,
                 "KeyboardShortcuts/resource_bundle_accessor:44: Fatal error: unable to find "
                 "bundle named KeyboardShortcuts_KeyboardShortcuts\n"
                 "KeyboardShortcuts: searched %s\n",
                 searched.c_str());
    std::abort();
}

fs::path applicationFile() {
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error);
}

// The shared object or executable that holds this code.
fs::path libraryFile() {
    static const char anchor = 0;
    Dl_info info{};
    if (dladdr(&anchor, &info) == 0 || info.dli_fname == nullptr || *info.dli_fname == '\0') {
        return {};
    }
    std::error_code error;
    return fs::absolute(info.dli_fname, error).lexically_normal();
}

std::vector<fs::path> searchDirectories() {
    std::vector<fs::path> directories;
    const fs::path application = applicationFile();
    const fs::path library = libraryFile();
    if (!application.empty()) {
        const fs::path prefix = application.parent_path().parent_path();
        directories.push_back(prefix / "share" / application.filename());
    }
    if (!library.empty()) {
        directories.push_back(library.parent_path());
    }
    if (!application.empty()) {
        directories.push_back(application.parent_path());
    }
    directories.push_back(builtInTables);
    return directories;
}

std::vector<std::string> tableLanguages(const QDir& bundle) {
    std::vector<std::string> languages;
    for (const QFileInfo& table :
         bundle.entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        languages.push_back(table.completeBaseName().toStdString());
    }
    return languages;
}

// A table that cannot be read counts as empty, so its keys show as themselves.
QJsonObject readTable(const fs::path& file) {
    QFile input(QString::fromStdString(file.string()));
    if (!input.open(QIODevice::ReadOnly)) {
        qWarning("KeyboardShortcuts: cannot read the string table %s: %s", file.c_str(),
                 qPrintable(input.errorString()));
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(input.readAll(), &error);
    if (!document.isObject()) {
        qWarning("KeyboardShortcuts: ignoring the string table %s: %s", file.c_str(),
                 error.error == QJsonParseError::NoError ? "it is not a JSON object"
                                                         : qPrintable(error.errorString()));
        return {};
    }
    return document.object();
}

} // namespace

Bundle::Bundle(fs::path path, std::vector<std::string> languages)
    : path_(std::move(path)), languages_(std::move(languages)) {}

// Qt's file classes read the built-in tables as they read a directory.
std::optional<Bundle> Bundle::open(const fs::path& directory) {
    fs::path path = directory / bundleName;
    const QDir bundle(QString::fromStdString(path.string()));
    if (!bundle.exists()) {
        return std::nullopt;
    }
    return Bundle(std::move(path), tableLanguages(bundle));
}

std::optional<Bundle> Bundle::find(std::span<const fs::path> directories) {
    for (const fs::path& directory : directories) {
        if (auto bundle = open(directory)) {
            return bundle;
        }
    }
    return std::nullopt;
}

Bundle& Bundle::module() {
    static Bundle bundle = [] {
        initializeBuiltInTables();
        return requireBundle(searchDirectories());
    }();
    return bundle;
}

std::string Bundle::localizedString(std::string_view key) {
    const std::string language = preferredLanguage();
    if (language.empty()) {
        return std::string(key);
    }
    const StringTable& strings = table(language);
    const auto found = strings.find(key);
    return found == strings.end() ? std::string(key) : found->second;
}

std::string Bundle::preferredLanguage() const {
    const auto offers = [this](const std::string& language) {
        return std::ranges::binary_search(languages_, language);
    };
    for (const QString& tag : QLocale().uiLanguages()) {
        const std::string full = tag.toStdString();
        const std::string primary = full.substr(0, full.find('-'));
        for (const std::string& language : {full, primary}) {
            if (offers(language)) {
                return language;
            }
        }
    }
    const std::string fallback(developmentLanguage);
    return offers(fallback) ? fallback : std::string();
}

const Bundle::StringTable& Bundle::table(const std::string& language) {
    const auto cached = tables_.find(language);
    if (cached != tables_.end()) {
        return cached->second;
    }
    StringTable strings;
    const QJsonObject table = readTable(path_ / (language + std::string(tableExtension)));
    for (auto entry = table.begin(); entry != table.end(); ++entry) {
        if (entry.value().isString()) {
            strings.emplace(entry.key().toStdString(), entry.value().toString().toStdString());
        }
    }
    return tables_.emplace(language, std::move(strings)).first->second;
}

Bundle requireBundle(std::span<const fs::path> directories) {
    auto bundle = Bundle::find(directories);
    if (!bundle) {
        stopForMissingBundle(directories);
    }
    return std::move(*bundle);
}

std::string localized(std::string_view key) {
    return Bundle::module().localizedString(key);
}

std::string localizedStringWithFormat(std::string_view format, std::string_view argument) {
    const QString text = QString::fromUtf8(format.data(), static_cast<qsizetype>(format.size()));
    if (!text.contains(QLatin1StringView("%1"))) {
        return std::string(format);
    }
    return text.arg(QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size())))
        .toStdString();
}

} // namespace KeyboardShortcuts
