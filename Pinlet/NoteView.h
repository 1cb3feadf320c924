#pragma once

#include <QWidget>
#include <functional>

class QToolButton;

namespace platform {
class MainQueue;
class Pasteboard;
} // namespace platform

namespace pinlet {

class NoteStore;
class NoteTextView;
class PlainTextView;

// The panel's content: a row with the copy-all and clear buttons above the note's editor.
class NoteView final : public QWidget {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds copyFeedbackDuration{1200};

    struct Actions {
        std::function<void(PlainTextView&)> onTextViewReady;
        std::function<void()> onClear;
    };

    NoteView(NoteStore& store, platform::Pasteboard& pasteboard, platform::MainQueue& mainQueue,
             const Actions& actions);

    void copyAll();

protected:
    void changeEvent(QEvent* event) override;

private:
    void setCopied(bool copied);
    void showIcons();

    NoteStore& store_;
    platform::Pasteboard& pasteboard_;
    platform::MainQueue& mainQueue_;
    QToolButton* copyButton_;
    QToolButton* clearButton_;
    bool copied_ = false;
    NoteTextView* textView_;
};

} // namespace pinlet
