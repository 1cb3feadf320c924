#include "KeyboardShortcuts/Shortcut.h"

#include "KeyboardShortcuts/ModifierFlags.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

namespace KeyboardShortcuts {
namespace {

constexpr QLatin1StringView keyCodeMember("carbonKeyCode");
constexpr QLatin1StringView modifiersMember("carbonModifiers");

std::int64_t normalized(std::int64_t carbonModifiers) {
    return carbon(modifierFlagsFromCarbon(carbonModifiers));
}

// A number counts when its value is whole and within 64 bits (45, 45.0 and 4.5e1 alike); Qt reads
// every other number as a double, which is refused rather than rounded.
std::optional<std::int64_t> integerMember(const QJsonObject& object, QLatin1StringView name) {
    const QVariant value = object.value(name).toVariant();
    if (value.typeId() != QMetaType::LongLong) {
        return std::nullopt;
    }
    return value.toLongLong();
}

} // namespace

Shortcut::Shortcut(std::int64_t carbonKeyCode, std::int64_t carbonModifiers)
    : Shortcut(AsStored{}, carbonKeyCode, normalized(carbonModifiers)) {}

Shortcut::Shortcut(Key key, std::uint64_t modifierFlags)
    : Shortcut(AsStored{}, key.rawValue, carbon(modifierFlags)) {}

std::optional<Shortcut> Shortcut::fromEvent(const platform::Event& event) {
    const bool isKeyEvent =
        event.type == platform::EventType::keyDown || event.type == platform::EventType::keyUp;
    if (!isKeyEvent || event.keyCode == platform::unknownKeyCode) {
        return std::nullopt;
    }
    return Shortcut(Key(event.keyCode), event.modifierFlags & ~platform::ModifierFlags::function);
}

std::optional<Shortcut> Shortcut::fromJson(std::string_view text) {
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const auto keyCode = integerMember(object, keyCodeMember);
    const auto modifiers = integerMember(object, modifiersMember);
    if (!keyCode || !modifiers) {
        return std::nullopt;
    }
    return Shortcut(AsStored{}, *keyCode, *modifiers);
}

std::string Shortcut::toJson() const {
    return R"({"carbonKeyCode":)" + std::to_string(carbonKeyCode_) + R"(,"carbonModifiers":)" +
           std::to_string(carbonModifiers_) + "}";
}

std::uint64_t Shortcut::modifiers() const {
    return modifierFlagsFromCarbon(carbonModifiers_);
}

} // namespace KeyboardShortcuts

std::size_t std::hash<KeyboardShortcuts::Shortcut>::operator()(
    const KeyboardShortcuts::Shortcut& shortcut) const noexcept {
    const std::size_t keyCode = std::hash<std::int64_t>{}(shortcut.carbonKeyCode());
    const std::size_t modifiers = std::hash<std::int64_t>{}(shortcut.carbonModifiers());
    return keyCode ^ (modifiers + 0x9e3779b97f4a7c15U + (keyCode << 6U) + (keyCode >> 2U));
}
