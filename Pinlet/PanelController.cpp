#include "Pinlet/PanelController.h"

#include "Pinlet/NotePanel.h"
#include "Pinlet/NoteStore.h"
#include "Pinlet/NoteTextView.h"
#include "Pinlet/NoteView.h"
#include "Pinlet/TopLevelWindow.h"
#include "platform/PreferencesStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

namespace pinlet {
namespace {

// The frame is kept as "x y width height".
std::string frameText(const QRect& frame) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height())
        .toStdString();
}

std::optional<QRect> parsedFrame(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(' '));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    std::array<int, 4> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        bool ok = false;
        numbers.at(i) = parts.at(static_cast<qsizetype>(i)).toInt(&ok);
        if (!ok) {
            return std::nullopt;
        }
    }
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

bool isLargeEnough(const QRect& frame) {
    return frame.width() >= NotePanel::minimumSize.width() &&
           frame.height() >= NotePanel::minimumSize.height();
}

// The available area of the screen that shows most of the frame; none when no screen shows any.
std::optional<QRect> availableAreaShowing(const QRect& frame) {
    std::optional<QRect> best;
    qint64 bestOverlap = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect overlap = screen->availableGeometry().intersected(frame);
        const qint64 size = qint64{overlap.width()} * overlap.height();
        if (size > bestOverlap) {
            bestOverlap = size;
            best = screen->availableGeometry();
        }
    }
    return best;
}

} // namespace

PanelController::PanelController(NoteStore& store, const Services& services)
    : store_(store), services_(services) {}

PanelController::~PanelController() = default;

void PanelController::setUp() {
    build();
    if (store_.isPanelVisible()) {
        show();
    }
}

void PanelController::build() {
    panel_ = std::make_unique<NotePanel>();
    buildContent();
    restoreFrame();
    connect(panel_.get(), &NotePanel::frameChanged, this, &PanelController::saveFrame);
    panel_->onEscape = [controller = QPointer(this)] {
        if (controller) {
            controller->hide();
        }
    };
    panel_->onFontSize = [controller = QPointer(this)](PanelKeyHandler::FontSizeStep step) {
        if (controller) {
            controller->stepFontSize(step);
        }
    };
    services_.workspace.keepOnAllDesktops(static_cast<platform::WindowId>(panel_->winId()));
}

void PanelController::buildContent() {
    const NoteView::Actions actions{
        [controller = QPointer(this)](PlainTextView& view) {
            if (controller) {
                controller->textView_ = &view;
            }
        },
        [controller = QPointer(this)] {
            if (controller) {
                controller->clear();
            }
        },
    };
    auto* layout = new QVBoxLayout(panel_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new NoteView(store_, services_.pasteboard, services_.mainQueue, actions));
}

void PanelController::restoreFrame() {
    const auto saved = services_.preferences.string(frameKey);
    const auto frame = saved ? parsedFrame(*saved) : std::nullopt;
    const auto area = frame && isLargeEnough(*frame) ? availableAreaShowing(*frame) : std::nullopt;
    if (area) {
        panel_->setGeometry(fittedInto(*frame, *area));
        return;
    }
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    panel_->move(screen.center() - panel_->rect().center());
}

void PanelController::saveFrame(const QRect& frame) {
    services_.preferences.set(frameKey, frameText(frame));
}

void PanelController::show() {
    if (!panel_) {
        build();
    }
    rememberFrontmostApplication();
    showAsKeyWindow(*panel_, services_.workspace);
    if (textView_) {
        textView_->setFocus(Qt::ActiveWindowFocusReason);
    }
    store_.setPanelVisible(true);
}

void PanelController::rememberFrontmostApplication() {
    const auto frontmost = services_.workspace.frontmostApplication();
    if (frontmost && !services_.workspace.isCurrentApplication(*frontmost)) {
        previousApp_ = frontmost;
    }
}

void PanelController::hide() {
    if (!panel_) {
        return;
    }
    panel_->hide();
    store_.setPanelVisible(false);
    if (previousApp_ && !services_.workspace.isTerminated(*previousApp_)) {
        services_.workspace.activate(*previousApp_);
        emit focusHandedBack(*previousApp_);
    }
}

bool PanelController::isShown() const {
    return panel_ && panel_->isVisible();
}

void PanelController::toggle() {
    if (isShown()) {
        hide();
    } else {
        show();
    }
}

void PanelController::clear() {
    if (!textView_) {
        store_.setText(QString());
        return;
    }
    if (!textView_->shouldChangeText()) {
        return;
    }
    // One undoable edit; the editor's change handler passes the empty text on to the store.
    QTextCursor cursor(textView_->document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
}

void PanelController::stepFontSize(PanelKeyHandler::FontSizeStep step) {
    const double size = step ? std::clamp(store_.fontSize() + *step, NoteStore::smallestFontSize,
                                          NoteStore::largestFontSize)
                             : NoteStore::defaultFontSize;
    store_.setFontSize(size);
}

} // namespace pinlet
