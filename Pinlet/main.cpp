#include "Pinlet/ApplicationStart.h"
#include "Pinlet/CommandLine.h"
#include "Pinlet/Translations.h"
#include "platform/linux/InstanceRequests.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/SingleInstanceLock.h"

#include <QCoreApplication>
#include <cstdio>
#include <dlfcn.h>
#include <memory>
#include <optional>

namespace desktop = platform::linux_desktop;

namespace {

using pinlet::RequestAction;

// The texts of this file, translated in the context "main".
struct Main {
    Q_DECLARE_TR_FUNCTIONS(main)
};

// The application's module, found from this program's own directory; none when it cannot be
// loaded, which is said on standard error.
pinlet::RunApplication* applicationModule(const QString& programDirectory) {
    const QString path = programDirectory + QStringLiteral("/" PINLET_APPLICATION_MODULE);
    void* module = ::dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module != nullptr ? ::dlsym(module, pinlet::runApplicationSymbol) : nullptr;
    if (entry == nullptr) {
        std::fprintf(stderr, "Pinlet: %s\n", ::dlerror());
    }
    return reinterpret_cast<pinlet::RunApplication*>(entry);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("Pinlet"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PINLET_VERSION));
    // The command line, the lock and a request to the running instance need no display: they
    // have an application of their own, which speaks the user's language.
    auto withoutDisplay = std::make_unique<QCoreApplication>(argc, argv);
    pinlet::installTranslations();
    const std::optional<RequestAction> action = pinlet::readCommandLine(*withoutDisplay);

    // The lock comes first: a second instance leaves before it can touch the store.
    const auto preferencesPath =
        desktop::JsonPreferencesStore::configHome() / "pinlet" / "preferences.json";
    const auto lockPath = desktop::SingleInstanceLock::pathFor(preferencesPath, "pinlet");
    const auto lock = desktop::SingleInstanceLock::acquire(lockPath);
    if (const auto* failure = std::get_if<desktop::LockFailure>(&lock)) {
        if (action && failure->kind == desktop::LockFailure::Kind::alreadyRunning) {
            return pinlet::handOver(lockPath, *action);
        }
        pinlet::complain(pinlet::describe(*failure));
        return 1;
    }
    if (action == RequestAction::hide) {
        pinlet::complain(Main::tr("Pinlet is not running: there is no panel to hide."));
        return 1;
    }
    pinlet::RunApplication* run = applicationModule(QCoreApplication::applicationDirPath());
    withoutDisplay.reset();
    return run != nullptr ? run(argc, argv, {preferencesPath, lockPath, action}) : 1;
}
