#include "KeyboardShortcuts/MenuItemBinding.h"

#include "KeyboardShortcuts/ObjectAssociation.h"
#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/internal/NotificationSubscription.h"
#include "KeyboardShortcuts/internal/Storage.h"
#include "platform/MainQueue.h"

#include <QAction>
#include <QPointer>
#include <memory>

namespace KeyboardShortcuts {
namespace {

// A binding's subscription. Updates it has queued check that it still exists, so that one queued
// before the binding was cleared or replaced does not bring the old keys back.
struct Binding {
    std::optional<internal::NotificationSubscription> subscription;
};

// The slot in which an action keeps its binding, and with it ends it.
const ObjectAssociation<std::shared_ptr<Binding>>& observer() {
    static const ObjectAssociation<std::shared_ptr<Binding>> association(
        AssociationPolicy::retainNonatomic);
    return association;
}

} // namespace

void setShortcut(QAction& action, const std::optional<Shortcut>& shortcut) {
    action.setShortcut(keySequenceOrNone(shortcut));
}

void setShortcutFor(QAction& action, const std::optional<Name>& name) {
    if (!name) {
        setShortcut(action, std::nullopt);
        observer().set(action, std::nullopt);
        return;
    }
    setShortcut(action, getShortcut(*name));
    auto binding = std::make_shared<Binding>();
    binding->subscription.emplace(
        shortcutByNameDidChange,
        [name = *name, target = QPointer(&action),
         current = std::weak_ptr(binding)](const platform::Notification& notification) {
            if (!internal::isChangeOf(notification, name)) {
                return;
            }
            internal::installedServices().mainQueue.post([name, target, current] {
                if (target && !current.expired()) {
                    setShortcut(*target, getShortcut(name));
                }
            });
        });
    observer().set(action, std::move(binding));
}

} // namespace KeyboardShortcuts
