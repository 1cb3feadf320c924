#include "Pinlet/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace pinlet {
namespace {

// The texts of the command line, translated in the context "main" with the rest of start-up.
struct Main {
    Q_DECLARE_TR_FUNCTIONS(main)
};

// A request from the command line waits this long for a starting instance to listen.
constexpr std::chrono::seconds requestPatience(10);

using RequestOptions = std::array<std::pair<RequestAction, QCommandLineOption>, 4>;

RequestOptions requestOptions() {
    return {{
        {RequestAction::toggle,
         QCommandLineOption(QStringLiteral("toggle"),
                            Main::tr("Show the note panel, or hide it where it shows; starts "
                                     "Pinlet where none runs. Bind this in the desktop's "
                                     "keyboard settings."))},
        {RequestAction::show,
         QCommandLineOption(QStringLiteral("show"),
                            Main::tr("Show the note panel and give it the keyboard; starts "
                                     "Pinlet where none runs."))},
        {RequestAction::hide,
         QCommandLineOption(QStringLiteral("hide"), Main::tr("Hide the note panel."))},
        {RequestAction::settings,
         QCommandLineOption(QStringLiteral("settings"),
                            Main::tr("Open the Pinlet window with the shortcut and the other "
                                     "settings; starts Pinlet where none runs."))},
    }};
}

// The one request that the options make, if any; exits when they make several.
std::optional<RequestAction> requestedAction(const QCommandLineParser& parser,
                                             const RequestOptions& requests) {
    std::optional<RequestAction> action;
    for (const auto& request : requests) {
        if (parser.isSet(request.second) && action) {
            complain(Main::tr("Pinlet: give one of --toggle, --show, --hide and --settings."));
            std::exit(EXIT_FAILURE);
        }
        if (parser.isSet(request.second)) {
            action = request.first;
        }
    }
    return action;
}

} // namespace

std::optional<RequestAction> readCommandLine(const QCoreApplication& application) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Main::tr(
        "A scratch note in a floating panel that a keyboard shortcut shows from anywhere."));
    parser.addHelpOption();
    parser.addVersionOption();
    const RequestOptions requests = requestOptions();
    for (const auto& request : requests) {
        parser.addOption(request.second);
    }
    parser.process(application);
    return requestedAction(parser, requests);
}

int handOver(const std::filesystem::path& lockPath, RequestAction action) {
    namespace desktop = platform::linux_desktop;
    const auto socket = desktop::requestSocketPathFor(lockPath);
    const desktop::Delivery delivery =
        desktop::deliverRequest(socket, desktop::InstanceRequest::fromEnvironment(action),
                                requestPatience, requestPatience);
    if (delivery != desktop::Delivery::carriedOut) {
        complain(Main::tr("Pinlet is running, but %1.")
                     .arg(QString::fromStdString(desktop::describe(delivery, socket))));
        return 1;
    }
    return 0;
}

QString describe(const platform::linux_desktop::LockFailure& failure) {
    const QString path = QString::fromStdString(failure.lockPath.string());
    if (failure.kind == platform::linux_desktop::LockFailure::Kind::alreadyRunning) {
        return Main::tr("Pinlet is already running (lock held on %1).").arg(path);
    }
    return Main::tr("Pinlet could not take its lock %1: %2.")
        .arg(path, QString::fromStdString(failure.reason));
}

void complain(const QString& line) {
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

} // namespace pinlet
