#include "platform/linux/portal/PortalHotKeyService.h"

#include "platform/linux/AcceleratorReader.h"
#include "platform/linux/XkbKeymap.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <algorithm>
#include <array>
#include <utility>

namespace platform::linux_desktop {

// One entry of the shortcuts a session binds: its id and its properties.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace platform::linux_desktop

Q_DECLARE_METATYPE(platform::linux_desktop::PortalShortcut)

namespace platform::linux_desktop {
namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// For a hot key without a label: "QPHK-1", stable while the application registers in the same
// order.
QString shortcutIdFor(HotKeyId id) {
    std::string signature;
    for (const int shift : {24, 16, 8, 0}) {
        signature += static_cast<char>((id.signature >> shift) & 0xFFU);
    }
    return QStringLiteral("%1-%2").arg(QString::fromStdString(signature)).arg(id.id);
}

// Where the portal publishes a request of ours, from the token given with it.
QString requestPath(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

} // namespace

PortalHotKeyService::PortalHotKeyService(const XkbKeymap& keymap, std::string description,
                                         std::function<void()> onUnavailable, QDBusConnection bus)
    : keymap_(keymap), description_(std::move(description)),
      onUnavailable_(std::move(onUnavailable)), bus_(std::move(bus)) {
    // D-Bus finds a slot's parameter types by name, which a type has only once registered.
    qRegisterMetaType<QDBusObjectPath>();
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    offerTimer_.setSingleShot(true);
    offerTimer_.setInterval(0);
    connect(&offerTimer_, &QTimer::timeout, this, &PortalHotKeyService::offerWhatIsNew);
    for (const auto& [signal, slot] :
         {std::pair{"Activated", SLOT(onActivated(QDBusObjectPath, QString, quint64, QVariantMap))},
          std::pair{"Deactivated",
                    SLOT(onDeactivated(QDBusObjectPath, QString, quint64, QVariantMap))}}) {
        bus_.connect(portalService, portalPath, shortcutsInterface, QString::fromLatin1(signal),
                     this, slot);
    }
}

void PortalHotKeyService::describeHotKey(HotKeyId id, const HotKeyLabel& label) {
    labels_[id.id] = label;
}

HotKeyService::Registration
PortalHotKeyService::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyId id) {
    const auto labelled = labels_.extract(id.id);
    std::string trigger = acceleratorText(keymap_, keyCode, modifiers, portalTrigger);
    if (trigger.empty()) {
        return {HotKeyStatus::hotKeyInvalid, std::nullopt};
    }
    const HotKeyRef reference = takeReference();
    HotKey hotKey{shortcutIdFor(id), {std::move(trigger), description_}, id};
    if (labelled) {
        hotKey.shortcutId = QString::fromStdString(labelled.mapped().name);
        hotKey.offer.description = labelled.mapped().description;
    }
    hotKeys_.emplace(reference, std::move(hotKey));
    offerTimer_.start();
    return {HotKeyStatus::noError, reference};
}

void PortalHotKeyService::unregisterHotKey(std::optional<HotKeyRef> reference) {
    if (reference) {
        hotKeys_.erase(*reference);
    }
}

// The session binds everything registered now; a combination that went meanwhile stays bound
// until something new is offered, and its events find no registration.
void PortalHotKeyService::offerWhatIsNew() {
    std::map<QString, Offer> wanted;
    for (const auto& [reference, hotKey] : hotKeys_) {
        wanted.emplace(hotKey.shortcutId, hotKey.offer);
    }
    const bool allOffered = std::ranges::all_of(wanted, [this](const auto& entry) {
        const auto found = offered_.find(entry.first);
        return found != offered_.end() && found->second == entry.second;
    });
    if (step_ != Step::none || allOffered) {
        return;
    }
    offered_ = std::move(wanted);
    closeSession();
    createSession();
}

void PortalHotKeyService::createSession() {
    const QString token = QStringLiteral("keyboardshortcuts_session%1").arg(nextToken_);
    callPortal(QStringLiteral("CreateSession"), {}, {{"session_handle_token", token}},
               Step::creatingSession);
}

void PortalHotKeyService::bindShortcuts() {
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, offer] : offered_) {
        shortcuts.append({id,
                          {{"description", QString::fromStdString(offer.description)},
                           {"preferred_trigger", QString::fromStdString(offer.trigger)}}});
    }
    callPortal(QStringLiteral("BindShortcuts"),
               {QVariant::fromValue(session_), QVariant::fromValue(shortcuts), QString()}, {},
               Step::binding);
}

void PortalHotKeyService::closeSession() {
    if (!session_.path().isEmpty()) {
        bus_.send(QDBusMessage::createMethodCall(portalService, session_.path(),
                                                 QStringLiteral("org.freedesktop.portal.Session"),
                                                 QStringLiteral("Close")));
        session_ = QDBusObjectPath();
    }
}

void PortalHotKeyService::callPortal(const QString& method, QVariantList arguments,
                                     QVariantMap options, Step step) {
    const QString token = QStringLiteral("keyboardshortcuts%1").arg(nextToken_++);
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    // Watched before asking, so that no answer comes before anyone listens.
    watchRequest(requestPath(bus_, token));
    QDBusMessage message =
        QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
    message.setArguments(arguments);
    step_ = step;
    if (!bus_.isConnected() ||
        !bus_.callWithCallback(message, this, SLOT(onRequestStarted(QDBusObjectPath)),
                               SLOT(onCallFailed(QDBusError)))) {
        giveUp();
    }
}

void PortalHotKeyService::watchRequest(const QString& path) {
    const auto watch = [this](const QString& request, bool on) {
        const QString interface = QStringLiteral("org.freedesktop.portal.Request");
        const QString signal = QStringLiteral("Response");
        const char* slot = SLOT(onResponse(uint, QVariantMap));
        if (on) {
            bus_.connect(portalService, request, interface, signal, this, slot);
        } else {
            bus_.disconnect(portalService, request, interface, signal, this, slot);
        }
    };
    if (!request_.isEmpty()) {
        watch(request_, false);
    }
    request_ = path;
    if (!request_.isEmpty()) {
        watch(request_, true);
    }
}

// A portal that knows no handle tokens answers on a path of its own choosing.
void PortalHotKeyService::onRequestStarted(const QDBusObjectPath& handle) {
    if (step_ != Step::none && handle.path() != request_) {
        watchRequest(handle.path());
    }
}

void PortalHotKeyService::onResponse(uint response, const QVariantMap& results) {
    watchRequest({});
    const Step answered = std::exchange(step_, Step::none);
    if (response != 0) {
        giveUp();
    } else if (answered == Step::creatingSession) {
        session_ = QDBusObjectPath(results.value(QStringLiteral("session_handle")).toString());
        bindShortcuts();
    } else {
        offerWhatIsNew();
    }
}

void PortalHotKeyService::onCallFailed(const QDBusError& /*error*/) {
    giveUp();
}

// What was offered is not bound; it is offered again when something new comes.
void PortalHotKeyService::giveUp() {
    step_ = Step::none;
    offered_.clear();
    if (!std::exchange(unavailable_, true)) {
        onUnavailable_();
    }
}

void PortalHotKeyService::onActivated(const QDBusObjectPath& session, const QString& shortcutId,
                                      quint64 /*timestamp*/, const QVariantMap& /*options*/) {
    deliver(KeyboardEventKind::hotKeyPressed, session, shortcutId);
}

void PortalHotKeyService::onDeactivated(const QDBusObjectPath& session, const QString& shortcutId,
                                        quint64 /*timestamp*/, const QVariantMap& /*options*/) {
    deliver(KeyboardEventKind::hotKeyReleased, session, shortcutId);
}

void PortalHotKeyService::deliver(std::uint32_t kind, const QDBusObjectPath& session,
                                  const QString& shortcutId) {
    if (session != session_) {
        return;
    }
    for (const auto& [reference, hotKey] : hotKeys_) {
        if (hotKey.shortcutId == shortcutId) {
            deliverToHandler(KeyboardEvent{kind, hotKey.id, 0, 0, 0});
            return;
        }
    }
}

} // namespace platform::linux_desktop
