#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace KeyboardShortcuts {

inline constexpr std::string_view bundleName = "KeyboardShortcuts_KeyboardShortcuts.bundle";

// The library's string tables: a directory named bundleName holding one table per language,
// "<language>.json" (a BCP 47 tag such as en, de or pt-BR), each a JSON object of key to text.
class Bundle {
public:
    // The bundle in this directory, if there is one.
    [[nodiscard]] static std::optional<Bundle> open(const std::filesystem::path& directory);
    // The bundle in the first of these directories that has one.
    [[nodiscard]] static std::optional<Bundle>
    find(std::span<const std::filesystem::path> directories);
    // The library's own bundle, searched for once, at the first call: in the application's
    // resource directory (<prefix>/share/<executable name> for <prefix>/bin/<executable>), in
    // the directory of the file that holds the library's code, in the application's own
    // directory, and last the copy built into the library, so that a program need place none.
    [[nodiscard]] static Bundle& module();

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // The languages the bundle has a table for.
    [[nodiscard]] const std::vector<std::string>& languages() const { return languages_; }

    // The text of the key in the user's preferred interface language among those the bundle
    // offers (English when none is preferred); the key itself when that table lacks it.
    [[nodiscard]] std::string localizedString(std::string_view key);

private:
    using StringTable = std::map<std::string, std::string, std::less<>>;

    Bundle(std::filesystem::path path, std::vector<std::string> languages);
    [[nodiscard]] std::string preferredLanguage() const;
    const StringTable& table(const std::string& language);

    std::filesystem::path path_;
    std::vector<std::string> languages_;
    std::map<std::string, StringTable, std::less<>> tables_; // read on first use
};

// The search of Bundle::module() over the given directories: the first bundle, or a fatal stop
// with "unable to find bundle named KeyboardShortcuts_KeyboardShortcuts" and the places searched.
[[nodiscard]] Bundle requireBundle(std::span<const std::filesystem::path> directories);

// The text of one of the library's keys, from Bundle::module().
[[nodiscard]] std::string localized(std::string_view key);

// A looked-up text used as a format with one placeholder, %1, that receives the argument.
[[nodiscard]] std::string localizedStringWithFormat(std::string_view format,
                                                    std::string_view argument);

} // namespace KeyboardShortcuts
