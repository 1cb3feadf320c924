#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <functional>

namespace pinlet {

class NoteStore;

// The note's editor: plain text only (pasted or dropped formatting is dropped), undoable,
// lines wrapped at its width, never scrolled sideways, no background of its own.
class PlainTextView final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit PlainTextView(QWidget* parent = nullptr);

    // Whether the whole text may be replaced by the user (a read-only editor refuses).
    [[nodiscard]] bool shouldChangeText() const { return !isReadOnly(); }

protected:
    void insertFromMimeData(const QMimeData* source) override;
};

// Bridges the editor and the note model: writes every edit into NoteStore.text and brings
// the editor in line with the model when the model changes on its own.
class NoteTextView final : public QObject {
    Q_OBJECT

public:
    NoteTextView(NoteStore& store, QWidget* parent,
                 const std::function<void(PlainTextView&)>& onReady);

    [[nodiscard]] PlainTextView& view() const { return *view_; }
    void update(const QString& text, double fontSize);

private:
    void contentsDidChange(int position, int charsRemoved, int charsAdded);
    void textDidChange();

    NoteStore& store_;
    QPointer<PlainTextView> view_; // owned by its parent widget
    // The text the editor holds, kept up to date edit by edit, so that a keystroke in a
    // large note never extracts the whole text again. Sharing its buffer with the model's
    // text makes the common case of an unchanged text cost nothing.
    QString shownText_;
    bool replacingText_ = false;
};

} // namespace pinlet
