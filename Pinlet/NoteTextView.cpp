#include "Pinlet/NoteTextView.h"

#include "Pinlet/NoteStore.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTextDocument>

namespace pinlet {
namespace {

constexpr int horizontalInset = 6;
constexpr int verticalInset = 4;

// The document keeps line breaks as paragraph or line separators. Unlike the toolkit's own
// plain-text export, every other character, no-break spaces included, is kept as typed.
QString withNewlines(QString raw) {
    for (QChar& c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            c = QLatin1Char('\n');
        }
    }
    return raw;
}

QString documentText(const QTextDocument& document, int position, int length) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    return withNewlines(cursor.selectedText());
}

int documentLength(const QTextDocument& document) {
    return document.characterCount() - 1;
}

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

bool PlainTextView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && key->modifiers().testFlag(Qt::ControlModifier)) {
            // The editor's own override refuses to move the focus while Tab types.
            QWidget::focusNextPrevChild( // NOLINT(bugprone-parent-virtual-call)
                !key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void PlainTextView::insertFromMimeData(const QMimeData* source) {
    if (source != nullptr && source->hasText()) {
        insertPlainText(source->text());
    }
}

NoteTextView::NoteTextView(NoteStore& store, QWidget* parent,
                           const std::function<void(PlainTextView&)>& onReady)
    : QObject(parent), store_(store), view_(new PlainTextView(parent)) {
    view_->setFont(monospacedFont(store.fontSize()));
    view_->setPlainText(store.text());
    view_->moveCursor(QTextCursor::End); // typing continues the note
    connect(view_->document(), &QTextDocument::contentsChange, this,
            &NoteTextView::contentsDidChange);
    onReady(*view_);
}

void NoteTextView::showText(const QString& text) {
    if (!view_ || editing_) {
        return;
    }
    // A change from elsewhere: not an edit the user can undo.
    const QScopedValueRollback replacing(replacingText_, true);
    view_->setPlainText(text);
}

void NoteTextView::showFontSize(double fontSize) {
    if (view_ && view_->font().pointSizeF() != fontSize) {
        view_->setFont(monospacedFont(fontSize));
    }
}

void NoteTextView::contentsDidChange(int position, int charsRemoved, int charsAdded) {
    if (replacingText_) {
        return;
    }
    const QScopedValueRollback editing(editing_, true);
    const QTextDocument& document = *view_->document();
    const qsizetype noteLength = store_.text().size();
    const bool reportFits = position >= 0 && charsRemoved >= 0 && charsAdded >= 0 &&
                            position + charsRemoved <= noteLength &&
                            noteLength - charsRemoved + charsAdded == documentLength(document);
    if (reportFits) {
        store_.editText(position, charsRemoved, documentText(document, position, charsAdded));
    } else {
        store_.setText(documentText(document, 0, documentLength(document)));
    }
}

} // namespace pinlet
