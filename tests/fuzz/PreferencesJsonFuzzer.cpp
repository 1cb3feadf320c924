#include "platform/linux/PreferencesJson.h"

#include <cstdint>
#include <cstdlib>

using namespace platform::linux_desktop;

// Whatever bytes the preferences file holds, reading them never fails loudly; the values read
// write back as a file that reads as the same values; and a file written once reads and writes
// back byte for byte. Members of other kinds may settle at the first write: Qt's reader can yield
// an object holding a key twice once it has dropped a leading U+FEFF from one.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed = parsePreferencesJson(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const auto* document = std::get_if<PreferencesDocument>(&parsed);
    if (document == nullptr) {
        return 0;
    }
    const auto reread = parsePreferencesJson(toPreferencesJson(*document));
    const auto* again = std::get_if<PreferencesDocument>(&reread);
    if (again == nullptr || again->values != document->values) {
        std::abort();
    }
    const QByteArray written = toPreferencesJson(*again);
    const auto settled = parsePreferencesJson(written);
    const auto* third = std::get_if<PreferencesDocument>(&settled);
    if (third == nullptr || third->values != again->values ||
        toPreferencesJson(*third) != written) {
        std::abort();
    }
    return 0;
}
