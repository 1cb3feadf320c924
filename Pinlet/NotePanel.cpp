#include "Pinlet/NotePanel.h"

#include "platform/linux/x11/Compositor.h"
#include "platform/linux/x11/QtEventTranslation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QWindow>

namespace pinlet {
namespace {

constexpr int resizeMargin = 6;
constexpr int translucentAlpha = 235;

QPainterPath roundedOutline(const QRect& rect) {
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), NotePanel::cornerRadius, NotePanel::cornerRadius);
    return path;
}

} // namespace

NotePanel::NotePanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      compositing_(platform::linux_desktop::isCompositing()) {
    setWindowTitle(tr("Pinlet"));
    setAttribute(Qt::WA_TranslucentBackground, compositing_);
    setMinimumSize(minimumSize);
    resize(initialSize);
    qApp->installEventFilter(this);
}

NotePanel::~NotePanel() {
    qApp->removeEventFilter(this);
}

bool NotePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != this) {
        return false;
    }
    return handleKeyPress(static_cast<const QKeyEvent&>(*event));
}

bool NotePanel::handleKeyPress(const QKeyEvent& keyEvent) {
    const platform::Event event = platform::linux_desktop::translateKeyEvent(keyEvent);
    if (interceptEvent(event, *this)) {
        return true;
    }
    return performKeyEquivalent(event, *this).value_or(false);
}

// A close asked of the window manager (its close button, Alt+F4) hides the note as Escape does,
// so that its state is kept and focus goes back; the panel itself stays for the next show.
void NotePanel::closeEvent(QCloseEvent* event) {
    event->ignore();
    onEscape();
}

void NotePanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor background = palette().color(QPalette::Window);
    if (compositing_) {
        background.setAlpha(translucentAlpha);
    }
    painter.fillPath(roundedOutline(rect()), background);
}

void NotePanel::resizeEvent(QResizeEvent* event) {
    // Without a compositor the corners cannot be see-through: cut them off instead.
    if (!compositing_) {
        setMask(QRegion(roundedOutline(rect()).toFillPolygon().toPolygon()));
    }
    QWidget::resizeEvent(event);
    emit frameChanged(geometry());
}

void NotePanel::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit frameChanged(geometry());
}

void NotePanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || windowHandle() == nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (edges != Qt::Edges()) {
        windowHandle()->startSystemResize(edges);
    } else {
        windowHandle()->startSystemMove();
    }
}

Qt::Edges NotePanel::edgesAt(QPoint position) const {
    Qt::Edges edges;
    edges.setFlag(Qt::LeftEdge, position.x() < resizeMargin);
    edges.setFlag(Qt::RightEdge, position.x() >= width() - resizeMargin);
    edges.setFlag(Qt::TopEdge, position.y() < resizeMargin);
    edges.setFlag(Qt::BottomEdge, position.y() >= height() - resizeMargin);
    return edges;
}

QPlainTextEdit* NotePanel::editor() const {
    return findChild<QPlainTextEdit*>();
}

bool NotePanel::firstResponderHasMarkedText() const {
    const auto* text = qobject_cast<const QPlainTextEdit*>(focusWidget());
    if (text == nullptr) {
        return false;
    }
    const QTextLayout* layout = text->textCursor().block().layout();
    return layout != nullptr && !layout->preeditAreaText().isEmpty();
}

std::optional<bool> NotePanel::tryToPerform(EditAction action) {
    QWidget* responder = focusWidget();
    if (responder == nullptr) {
        return std::nullopt;
    }
    auto* text = qobject_cast<QPlainTextEdit*>(responder);
    if (text == nullptr) {
        return false;
    }
    switch (action) {
    case EditAction::cut:
        text->cut();
        break;
    case EditAction::copy:
        text->copy();
        break;
    case EditAction::paste:
        text->paste();
        break;
    case EditAction::selectAll:
        text->selectAll();
        break;
    }
    return true;
}

bool NotePanel::hasUndoManager() const {
    return editor() != nullptr;
}

bool NotePanel::canUndo() const {
    return editor()->document()->isUndoAvailable();
}

bool NotePanel::canRedo() const {
    return editor()->document()->isRedoAvailable();
}

void NotePanel::undo() {
    editor()->undo();
}

void NotePanel::redo() {
    editor()->redo();
}

} // namespace pinlet
