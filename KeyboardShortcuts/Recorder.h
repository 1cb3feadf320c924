#pragma once

#include "KeyboardShortcuts/RecorderCocoa.h"

#include <QWidget>

class QLabel;

namespace KeyboardShortcuts {

// A title that the application's translations hold: QCoreApplication::translate(context, key),
// the key itself where there is no translation.
struct TitleKey {
    const char* context;
    const char* key;
};

// A recorder field with an optional label in front of it. One field serves for the widget's
// whole life: a new name reaches the same field, which keeps its onChange.
//
// Several labelled recorders line up on their fields' leading edges in a QFormLayout: give the
// form the title and an unlabelled Recorder, as with any other field.
class Recorder final : public QWidget {
public:
    explicit Recorder(const Name& name, RecorderOnChange onChange = {}, QWidget* parent = nullptr);
    // The title shown as it stands.
    Recorder(const QString& title, const Name& name, RecorderOnChange onChange = {},
             QWidget* parent = nullptr);
    Recorder(TitleKey title, const Name& name, RecorderOnChange onChange = {},
             QWidget* parent = nullptr);

    [[nodiscard]] RecorderCocoa& control() const { return *control_; }
    // None without a title.
    [[nodiscard]] QLabel* label() const { return label_; }

    void setName(const Name& name);

private:
    QLabel* label_ = nullptr;
    RecorderCocoa* control_;
};

} // namespace KeyboardShortcuts
