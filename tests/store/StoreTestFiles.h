#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

[[nodiscard]] std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);
// The names in a directory, sorted.
[[nodiscard]] std::vector<std::string> namesIn(const std::filesystem::path& directory);

// Runs the event loop until the condition holds; false when it still does not after the limit.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

// Makes a directory unwritable for the calling thread, even as root (whose file-system user id
// becomes nobody's meanwhile), until destroyed.
class WriteProtectedDirectory {
public:
    explicit WriteProtectedDirectory(std::filesystem::path directory);
    ~WriteProtectedDirectory();
    WriteProtectedDirectory(const WriteProtectedDirectory&) = delete;
    WriteProtectedDirectory& operator=(const WriteProtectedDirectory&) = delete;

private:
    std::filesystem::path directory_;
};

} // namespace test_support
