#include "tests/store/StoreTestFiles.h"

#include <QDeadlineTimer>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sys/fsuid.h>
#include <unistd.h>

namespace test_support {
namespace fs = std::filesystem;

namespace {
constexpr uid_t nobody = 65534;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> namesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

WriteProtectedDirectory::WriteProtectedDirectory(fs::path directory)
    : directory_(std::move(directory)) {
    using fs::perms;
    fs::permissions(directory_, perms::owner_read | perms::owner_exec | perms::group_read |
                                    perms::group_exec | perms::others_read | perms::others_exec);
    if (::geteuid() == 0) {
        ::setfsuid(nobody);
    }
}

WriteProtectedDirectory::~WriteProtectedDirectory() {
    if (::geteuid() == 0) {
        ::setfsuid(0);
    }
    fs::permissions(directory_, fs::perms::owner_all, fs::perm_options::add);
}

} // namespace test_support
