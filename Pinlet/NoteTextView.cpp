#include "Pinlet/NoteTextView.h"

#include "Pinlet/CanonicalEquivalence.h"
#include "Pinlet/NoteStore.h"

#include <QFontDatabase>
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
    view_->moveCursor(QTextCursor::End); // typing continues the note
    connect(view_->document(), &QTextDocument::contentsChange, this,
            &NoteTextView::contentsDidChange);
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

void NoteTextView::contentsDidChange(int position, int charsRemoved, int charsAdded) {
    if (replacingText_) {
        return;
    }
    const QTextDocument& document = *view_->document();
    const qsizetype patchedLength = shownText_.size() - charsRemoved + charsAdded;
    const bool reportFits = position >= 0 && charsRemoved >= 0 && charsAdded >= 0 &&
                            position + charsRemoved <= shownText_.size() &&
                            patchedLength == documentLength(document);
    if (reportFits) {
        shownText_.replace(position, charsRemoved, documentText(document, position, charsAdded));
    } else {
        shownText_ = documentText(document, 0, documentLength(document));
    }
}

void NoteTextView::textDidChange() {
    if (!replacingText_) {
        store_.setText(shownText_);
    }
}

} // namespace pinlet
