#include "platform/linux/PreferencesJson.h"

#include "platform/linux/Utf8Text.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <optional>

namespace platform::linux_desktop {
namespace {

std::optional<PreferenceValue> storeValue(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString().toStdString();
    case QJsonValue::Double:
        return value.toDouble();
    case QJsonValue::Bool:
        return value.toBool();
    default:
        return std::nullopt;
    }
}

struct ToJsonValue {
    QJsonValue operator()(const std::string& text) const { return textFromUtf8(text); }
    QJsonValue operator()(double number) const { return number; }
    QJsonValue operator()(bool flag) const { return flag; }
};

} // namespace

std::variant<PreferencesDocument, PreferencesJsonError>
parsePreferencesJson(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        return PreferencesJsonError{"not valid JSON: " + error.errorString().toStdString() +
                                    " at byte " + std::to_string(error.offset)};
    }
    if (!json.isObject()) {
        return PreferencesJsonError{"not a JSON object"};
    }
    PreferencesDocument document;
    const QJsonObject object = json.object();
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (auto value = storeValue(member.value())) {
            document.values.emplace(member.key().toStdString(), std::move(*value));
        } else {
            document.otherMembers.insert(member.key(), member.value());
        }
    }
    return document;
}

QByteArray toPreferencesJson(const PreferencesDocument& document) {
    QJsonObject object = document.otherMembers;
    for (const auto& [key, value] : document.values) {
        object.insert(textFromUtf8(key), std::visit(ToJsonValue{}, value));
    }
    // Qt's reader drops a U+FEFF written as such at the start of a string; escaped, it stays.
    return QJsonDocument(object).toJson(QJsonDocument::Indented).replace("\xEF\xBB\xBF", "\\ufeff");
}

} // namespace platform::linux_desktop
