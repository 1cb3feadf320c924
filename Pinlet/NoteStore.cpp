#include "Pinlet/NoteStore.h"

#include "Pinlet/CanonicalEquivalence.h"
#include "platform/PreferencesStore.h"
#include "platform/linux/Utf8Text.h"

#include <algorithm>

namespace pinlet {
namespace {

constexpr const char* textKey = "noteText";
constexpr const char* fontSizeKey = "fontSize";
constexpr const char* panelVisibleKey = "isPanelVisible";

double loadedFontSize(const platform::PreferencesStore& preferences) {
    const double stored = preferences.doubleValue(fontSizeKey);
    if (!(stored > 0)) { // also catches NaN
        return NoteStore::defaultFontSize;
    }
    return std::min(std::max(stored, NoteStore::smallestFontSize), NoteStore::largestFontSize);
}

} // namespace

NoteStore::NoteStore(platform::PreferencesStore& preferences)
    : preferences_(preferences),
      text_(platform::linux_desktop::textFromUtf8(preferences.string(textKey).value_or(""))),
      fontSize_(loadedFontSize(preferences)),
      isPanelVisible_(preferences.boolValue(panelVisibleKey)) {}

void NoteStore::setText(QString text) {
    const bool changed = !canonicallyEquivalent(text_, text);
    text_ = std::move(text);
    textWritten(changed);
}

void NoteStore::editText(qsizetype position, qsizetype removed, const QString& added) {
    const bool changed = !canonicallyEquivalent(text_.sliced(position, removed), added);
    text_.replace(position, removed, added);
    textWritten(changed);
}

void NoteStore::textWritten(bool changed) {
    preferences_.set(textKey, text_.toStdString());
    if (changed) {
        emit textChanged(text_);
    }
}

void NoteStore::setFontSize(double fontSize) {
    if (replace(fontSize_, fontSize, fontSizeKey)) {
        emit fontSizeChanged(fontSize_);
    }
}

void NoteStore::setPanelVisible(bool visible) {
    if (replace(isPanelVisible_, visible, panelVisibleKey)) {
        emit panelVisibleChanged(isPanelVisible_);
    }
}

template <typename T> bool NoteStore::replace(T& field, T value, const char* key) {
    const bool changed = field != value;
    field = value;
    preferences_.set(key, value);
    return changed;
}

} // namespace pinlet
