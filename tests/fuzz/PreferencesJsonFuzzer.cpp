#include "platform/linux/PreferencesJson.h"

#include <cstdint>
#include <cstdlib>

using namespace platform::linux_desktop;

// Whatever bytes the preferences file holds, reading them never fails loudly, and a document
// they yield writes back as a file that reads as the same document.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed = parsePreferencesJson(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (const auto* document = std::get_if<PreferencesDocument>(&parsed)) {
        const auto reread = parsePreferencesJson(toPreferencesJson(*document));
        const auto* again = std::get_if<PreferencesDocument>(&reread);
        if (again == nullptr || again->values != document->values ||
            again->otherMembers != document->otherMembers) {
            std::abort();
        }
    }
    return 0;
}
