// README sample: begin
// A window with one global shortcut: a field in which the user changes it, and a greeting each
// time it is let go, wherever the keyboard focus is.
#include "KeyboardShortcuts/KeyboardShortcuts.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

using namespace KeyboardShortcuts;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    installDefaultPlatformServices();
    // A name, with the shortcut it has until the user changes it: Ctrl+Alt+G.
    const Name greet(
        "greet", Shortcut(Key::g, platform::ModifierFlags::control | platform::ModifierFlags::alt));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new Recorder(QStringLiteral("Greet:"), greet));
    auto* greeting = new QLabel(QStringLiteral("Press the shortcut anywhere and let it go."));
    layout->addWidget(greeting);
    // Runs when the shortcut is let go, in any application.
    onKeyUp(greet, [greeting] { greeting->setText(QStringLiteral("Hello!")); });
    window.show();
    return QApplication::exec();
}
// README sample: end
