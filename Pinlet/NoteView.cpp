#include "Pinlet/NoteView.h"

#include "Pinlet/Contrast.h"
#include "Pinlet/NoteStore.h"
#include "Pinlet/NoteTextView.h"
#include "platform/MainQueue.h"
#include "platform/Pasteboard.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

namespace pinlet {
namespace {

constexpr int buttonSpacing = 12;
constexpr int iconSize = 16;
constexpr int headerTopMargin = 9;
constexpr int headerSideMargin = 6 + 4; // around the row, then around the pair
constexpr int editorTopMargin = 4;
constexpr int editorMargin = 6;

// In the text colour, which stands out from the panel's background as the note's text does.
QIcon symbol(const QString& name, const QPalette& palette) {
    return symbolIn(QIcon(QStringLiteral(":/icons/%1.svg").arg(name)),
                    palette.color(QPalette::WindowText));
}

QToolButton* headerButton(const QString& help, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    // Tab reaches it from the keyboard (Ctrl+Tab out of the note); a click leaves the focus in the
    // note.
    button->setFocusPolicy(Qt::TabFocus);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setToolTip(help);
    button->setAccessibleName(help);
    return button;
}

QHBoxLayout* headerRow(QToolButton* copy, QToolButton* clear) {
    auto* row = new QHBoxLayout;
    row->setSpacing(buttonSpacing);
    row->setContentsMargins(headerSideMargin, headerTopMargin, headerSideMargin, 0);
    row->addStretch();
    row->addWidget(copy);
    row->addWidget(clear);
    return row;
}

} // namespace

NoteView::NoteView(NoteStore& store, platform::Pasteboard& pasteboard,
                   platform::MainQueue& mainQueue, const Actions& actions)
    : store_(store), pasteboard_(pasteboard), mainQueue_(mainQueue),
      copyButton_(headerButton(tr("Copy all"), this)),
      clearButton_(headerButton(tr("Clear"), this)),
      textView_(new NoteTextView(store, this, actions.onTextViewReady)) {
    showIcons();
    connect(copyButton_, &QToolButton::clicked, this, &NoteView::copyAll);
    connect(clearButton_, &QToolButton::clicked, this, [onClear = actions.onClear] { onClear(); });

    auto* column = new QVBoxLayout(this);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(headerRow(copyButton_, clearButton_));
    column->addSpacing(editorTopMargin);
    auto* editorRow = new QHBoxLayout;
    editorRow->setContentsMargins(editorMargin, 0, editorMargin, editorMargin);
    editorRow->addWidget(&textView_->view());
    column->addLayout(editorRow);
    textView_->view().setAccessibleName(tr("Note"));
    setTabOrder(&textView_->view(), copyButton_);
    setTabOrder(copyButton_, clearButton_);

    connect(&store, &NoteStore::textChanged, textView_, &NoteTextView::showText);
    connect(&store, &NoteStore::fontSizeChanged, textView_, &NoteTextView::showFontSize);
}

void NoteView::copyAll() {
    pasteboard_.setString(store_.text().toStdString());
    setCopied(true);
    // Every copy ends its own feedback; a later copy does not extend an earlier one.
    mainQueue_.postAfter(copyFeedbackDuration, [view = QPointer(this)] {
        if (view) {
            view->setCopied(false);
        }
    });
}

// The name changes with the icon, so that screen readers say "Copied" too.
void NoteView::setCopied(bool copied) {
    copied_ = copied;
    showIcons();
    copyButton_->setAccessibleName(copied ? tr("Copied") : tr("Copy all"));
}

void NoteView::showIcons() {
    copyButton_->setIcon(
        symbol(copied_ ? QStringLiteral("checkmark") : QStringLiteral("copy"), palette()));
    clearButton_->setIcon(symbol(QStringLiteral("trash"), palette()));
}

void NoteView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        showIcons();
    }
    QWidget::changeEvent(event);
}

} // namespace pinlet
