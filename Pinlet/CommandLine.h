#pragma once

#include "platform/linux/InstanceRequests.h"
#include "platform/linux/SingleInstanceLock.h"

#include <QString>
#include <filesystem>
#include <optional>

class QCoreApplication;

namespace pinlet {

using RequestAction = platform::linux_desktop::InstanceRequest::Action;

// Answers --help and --version, and refuses options it does not know or several requests at once
// (exiting in each case); otherwise what the command line asks of the running instance, if
// anything.
[[nodiscard]] std::optional<RequestAction> readCommandLine(const QCoreApplication& application);

// Hands the request to the instance that holds the lock, waiting a while for a starting one to
// listen; the exit status.
[[nodiscard]] int handOver(const std::filesystem::path& lockPath, RequestAction action);

// Why this Pinlet cannot run, in the user's language.
[[nodiscard]] QString describe(const platform::linux_desktop::LockFailure& failure);

// A line on standard error.
void complain(const QString& line);

} // namespace pinlet
