#pragma once

#include <QObject>
#include <QString>

namespace platform {
class PreferencesStore;
}

namespace pinlet {

// The note, its font size and whether its panel is shown. Loaded from the preferences store
// once; every assignment is written back, and a signal tells observers of a real change.
class NoteStore final : public QObject {
    Q_OBJECT

public:
    static constexpr double smallestFontSize = 9;
    static constexpr double largestFontSize = 36;
    static constexpr double defaultFontSize = 13;

    explicit NoteStore(platform::PreferencesStore& preferences);

    [[nodiscard]] const QString& text() const { return text_; }
    [[nodiscard]] double fontSize() const { return fontSize_; }
    [[nodiscard]] bool isPanelVisible() const { return isPanelVisible_; }

    void setText(QString text);
    // Replaces `removed` characters at `position` with `added`, in place: the editor's way, so
    // that a keystroke in a large note copies no more than the edit.
    void editText(qsizetype position, qsizetype removed, const QString& added);
    void setFontSize(double fontSize);
    void setPanelVisible(bool visible);

signals:
    void textChanged(const QString& text);
    void fontSizeChanged(double fontSize);
    void panelVisibleChanged(bool visible);

private:
    // Writes the text under its key, and announces it when it changed.
    void textWritten(bool changed);
    // Stores the value, writes it under the key, and tells whether it differed.
    template <typename T> bool replace(T& field, T value, const char* key);

    platform::PreferencesStore& preferences_;
    QString text_;
    double fontSize_;
    bool isPanelVisible_;
};

} // namespace pinlet
