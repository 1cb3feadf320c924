#pragma once

#include "Pinlet/NoteTextView.h"
#include "Pinlet/PanelKeyHandler.h"
#include "platform/Workspace.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

namespace platform {
class MainQueue;
class Pasteboard;
class PreferencesStore;
} // namespace platform

namespace pinlet {

class NotePanel;
class NoteStore;

// Owns the note panel: builds it once, when first needed, shows it over the application in front
// without activating this one, hides it and hands focus back, clears the note and steps its font.
class PanelController final : public QObject {
    Q_OBJECT

public:
    // The preferences key under which the panel's frame is kept.
    static constexpr const char* frameKey = "QuillpadPanel";

    struct Services {
        platform::Workspace& workspace;
        platform::Pasteboard& pasteboard;
        platform::MainQueue& mainQueue;
        platform::PreferencesStore& preferences;
    };

    PanelController(NoteStore& store, const Services& services);
    ~PanelController() override;
    PanelController(const PanelController&) = delete;
    PanelController& operator=(const PanelController&) = delete;

    // Builds the panel and shows it when it was shown at the end of the previous run.
    void setUp();
    // Builds the panel first if nothing has yet.
    void show();
    void hide();
    void toggle();
    // The panel is on screen (hidden or not built yet otherwise).
    [[nodiscard]] bool isShown() const;
    void clear();
    void stepFontSize(PanelKeyHandler::FontSizeStep step);

    [[nodiscard]] NoteStore& store() const { return store_; }
    [[nodiscard]] NotePanel* panel() const { return panel_.get(); }
    [[nodiscard]] PlainTextView* textView() const { return textView_; }
    [[nodiscard]] const std::optional<platform::RunningApplication>& previousApp() const {
        return previousApp_;
    }

signals:
    // hide() asked for the remembered application to be activated again.
    void focusHandedBack(const platform::RunningApplication& app);

private:
    void build();
    void buildContent();
    void restoreFrame();
    void saveFrame(const QRect& frame);
    void rememberFrontmostApplication();

    NoteStore& store_;
    Services services_;
    std::unique_ptr<NotePanel> panel_;
    QPointer<PlainTextView> textView_;
    std::optional<platform::RunningApplication> previousApp_;
};

} // namespace pinlet
