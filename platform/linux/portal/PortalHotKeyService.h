#pragma once

#include "platform/HotKeyServiceBase.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <QVariantMap>
#include <functional>
#include <map>
#include <string>

class QDBusError;

namespace platform::linux_desktop {

class XkbKeymap;

// Hot keys through the desktop's GlobalShortcuts portal, where a Wayland compositor keeps the
// keyboard to itself. Each combination is offered to the portal as the preferred trigger of a
// shortcut of this application, under its label's name and with its description (else under an
// id made from the registration's and the description given here); the desktop has the last word on
// the keys (the user may choose others in its settings), and tells when the shortcut is activated
// and deactivated, which are delivered as the hot key's press and release.
//
// The portal answers later, so a registration succeeds at once unless the combination has no
// trigger (the function modifier, a key without a keysym). Registrations made in one turn of the
// event loop are offered together, in a session of their own; combinations that were offered
// already are not offered again, so that releasing hot keys while a menu is open and taking them
// back asks the desktop nothing. Where the portal is missing or refuses, the callback given runs,
// once.
class PortalHotKeyService final : public QObject, public HotKeyServiceBase {
    Q_OBJECT

public:
    // The keymap names the keys in the triggers; the description is what the desktop shows
    // beside each shortcut.
    PortalHotKeyService(const XkbKeymap& keymap, std::string description,
                        std::function<void()> onUnavailable,
                        QDBusConnection bus = QDBusConnection::sessionBus());

    void describeHotKey(HotKeyId id, const HotKeyLabel& label) override;
    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                HotKeyId id) override;
    void unregisterHotKey(std::optional<HotKeyRef> reference) override;

private slots:
    void onRequestStarted(const QDBusObjectPath& handle);
    void onResponse(uint response, const QVariantMap& results);
    void onCallFailed(const QDBusError& error);
    void onActivated(const QDBusObjectPath& session, const QString& shortcutId, quint64 timestamp,
                     const QVariantMap& options);
    void onDeactivated(const QDBusObjectPath& session, const QString& shortcutId, quint64 timestamp,
                       const QVariantMap& options);

private:
    // What the portal is offered of a hot key: the trigger and the description, under its id.
    struct Offer {
        std::string trigger;
        std::string description;

        friend bool operator==(const Offer&, const Offer&) = default;
    };
    struct HotKey {
        QString shortcutId;
        Offer offer;
        HotKeyId id;
    };
    // The one request that the portal has yet to answer.
    enum class Step { none, creatingSession, binding };

    void offerWhatIsNew();
    void createSession();
    void bindShortcuts();
    void closeSession();
    // Calls a method of the GlobalShortcuts portal whose answer comes as a request's Response.
    void callPortal(const QString& method, QVariantList arguments, QVariantMap options, Step step);
    // Listens for the Response of the request at the path, and of no other; empty: of none.
    void watchRequest(const QString& path);
    void giveUp();
    void deliver(std::uint32_t kind, const QDBusObjectPath& session, const QString& shortcutId);

    const XkbKeymap& keymap_;
    const std::string description_;
    std::function<void()> onUnavailable_;
    QDBusConnection bus_;
    std::map<HotKeyRef, HotKey> hotKeys_;
    // The label given for the hot key registered next under an id.
    std::map<std::uint32_t, HotKeyLabel> labels_;
    // What the current session holds, or is being offered, by shortcut id.
    std::map<QString, Offer> offered_;
    QDBusObjectPath session_;
    QString request_;
    Step step_ = Step::none;
    bool unavailable_ = false;
    unsigned nextToken_ = 0;
    QTimer offerTimer_;
};

} // namespace platform::linux_desktop
