#pragma once

#include "Pinlet/PanelKeyHandler.h"

#include <QWidget>

class QPlainTextEdit;

namespace pinlet {

// The floating window that holds the note: a frameless tool window above normal windows that
// takes keyboard focus without becoming a main window. Its keys are handled by
// PanelKeyHandler; pressing on any part that no control covers moves it, near an edge resizes.
class NotePanel final : public QWidget, public PanelKeyHandler, private PanelKeyTarget {
    Q_OBJECT

public:
    static constexpr int cornerRadius = 22;
    static constexpr QSize initialSize{380, 280};
    static constexpr QSize minimumSize{240, 160};

    NotePanel();
    ~NotePanel() override;
    NotePanel(const NotePanel&) = delete;
    NotePanel& operator=(const NotePanel&) = delete;

signals:
    // The panel was moved or resized.
    void frameChanged(const QRect& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    [[nodiscard]] bool firstResponderHasMarkedText() const override;
    std::optional<bool> tryToPerform(EditAction action) override;
    [[nodiscard]] bool hasUndoManager() const override;
    [[nodiscard]] bool canUndo() const override;
    [[nodiscard]] bool canRedo() const override;
    void undo() override;
    void redo() override;

    [[nodiscard]] QPlainTextEdit* editor() const;
    [[nodiscard]] bool handleKeyPress(const QKeyEvent& event);
    [[nodiscard]] Qt::Edges edgesAt(QPoint position) const;

    bool compositing_;
};

} // namespace pinlet
