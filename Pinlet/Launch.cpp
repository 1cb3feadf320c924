#include "Pinlet/CommandLine.h"
#include "Pinlet/ProgramEntry.h"
#include "Pinlet/RunApplication.h"
#include "Pinlet/Translations.h"

#include <QCoreApplication>
#include <memory>
#include <type_traits>

namespace desktop = platform::linux_desktop;

namespace {

// The texts of this file, translated in the context "main".
struct Main {
    Q_DECLARE_TR_FUNCTIONS(main)
};

} // namespace

extern "C" [[gnu::visibility("default")]] int pinletMain(int& argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Pinlet"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PINLET_VERSION));
    // The command line, the lock and a request to the running instance need no display: they
    // have an application of their own, which speaks the user's language.
    auto withoutDisplay = std::make_unique<QCoreApplication>(argc, argv);
    pinlet::installTranslations();
    const std::optional<pinlet::RequestAction> action = pinlet::readCommandLine(*withoutDisplay);

    // The lock comes first: a second instance leaves before it can touch the store.
    const auto lockPath = pinlet::lockPath();
    const auto lock = desktop::SingleInstanceLock::acquire(lockPath);
    if (const auto* failure = std::get_if<desktop::LockFailure>(&lock)) {
        if (action && failure->kind == desktop::LockFailure::Kind::alreadyRunning) {
            return pinlet::handOver(lockPath, *action);
        }
        pinlet::complain(pinlet::describe(*failure));
        return 1;
    }
    if (action == pinlet::RequestAction::hide) {
        pinlet::complain(Main::tr("Pinlet is not running: there is no panel to hide."));
        return 1;
    }
    withoutDisplay.reset();
    return pinlet::runApplication(argc, argv, {pinlet::preferencesPath(), lockPath, action});
}

static_assert(std::is_same_v<decltype(pinletMain), pinlet::ProgramMain>);
