#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <functional>

namespace pinlet {

class NoteStore;

// The note's editor: plain text only (pasted or dropped formatting is dropped), undoable,
// lines wrapped at its width, never scrolled sideways, no background of its own. Tab types a tab;
// Ctrl+Tab and Ctrl+Shift+Tab move the focus on and back.
class PlainTextView final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit PlainTextView(QWidget* parent = nullptr);

    // Whether the whole text may be replaced by the user (a read-only editor refuses).
    [[nodiscard]] bool shouldChangeText() const { return !isReadOnly(); }

protected:
    bool event(QEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

// Bridges the editor and the note model: writes every edit into NoteStore.text as it happens,
// and brings the editor in line with the model when the model changes on its own.
class NoteTextView final : public QObject {
    Q_OBJECT

public:
    NoteTextView(NoteStore& store, QWidget* parent,
                 const std::function<void(PlainTextView&)>& onReady);

    [[nodiscard]] PlainTextView& view() const { return *view_; }
    // The model's text changed: shown unless the change is the editor's own.
    void showText(const QString& text);
    void showFontSize(double fontSize);

private:
    void contentsDidChange(int position, int charsRemoved, int charsAdded);

    NoteStore& store_;
    QPointer<PlainTextView> view_; // owned by its parent widget
    // Only the model keeps the text: each edit patches it, so that a keystroke in a large note
    // neither extracts nor copies the whole text.
    bool editing_ = false;
    bool replacingText_ = false;
};

} // namespace pinlet
