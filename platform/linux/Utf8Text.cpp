#include "platform/linux/Utf8Text.h"

#include <QStringDecoder>

namespace platform::linux_desktop {

QString textFromUtf8(std::string_view utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

} // namespace platform::linux_desktop
