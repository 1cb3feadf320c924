#include "Pinlet/NoteTextView.h"

#include "Pinlet/CanonicalEquivalence.h"
#include "Pinlet/NoteStore.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QScopedValueRollback>

namespace pinlet {
namespace {

constexpr int horizontalInset = 6;
constexpr int verticalInset = 4;

QFont monospacedFont(double pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

PlainTextView::PlainTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setUndoRedoEnabled(true);
    setBackgroundVisible(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    setPalette(colours);
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(verticalInset);
    setViewportMargins(horizontalInset - verticalInset, 0, horizontalInset - verticalInset, 0);
}

void PlainTextView::insertFromMimeData(const QMimeData* source) {
    if (source != nullptr && source->hasText()) {
        insertPlainText(source->text());
    }
}

NoteTextView::NoteTextView(NoteStore& store, QWidget* parent,
                           const std::function<void(PlainTextView&)>& onReady)
    : QObject(parent), store_(store), view_(new PlainTextView(parent)), shownText_(store.text()) {
    view_->setFont(monospacedFont(store.fontSize()));
    view_->setPlainText(shownText_);
    connect(view_, &QPlainTextEdit::textChanged, this, &NoteTextView::textDidChange);
    onReady(*view_);
}

void NoteTextView::update(const QString& text, double fontSize) {
    if (!view_) {
        return;
    }
    if (!canonicallyEquivalent(shownText_, text)) {
        // A change from elsewhere: not an edit the user can undo.
        const QScopedValueRollback replacing(replacingText_, true);
        shownText_ = text;
        view_->setPlainText(text);
    }
    if (view_->font().pointSizeF() != fontSize) {
        view_->setFont(monospacedFont(fontSize));
    }
}

void NoteTextView::textDidChange() {
    if (replacingText_) {
        return;
    }
    shownText_ = view_->toPlainText();
    store_.setText(shownText_);
}

} // namespace pinlet
