#include "KeyboardShortcuts/ObjectAssociation.h"

namespace KeyboardShortcuts::internal {

AssociatedValues::AssociatedValues(QObject& owner) : QObject(&owner) {}

AssociatedValues* AssociatedValues::of(const QObject& object) {
    for (QObject* child : object.children()) {
        if (auto* values = dynamic_cast<AssociatedValues*>(child)) {
            return values;
        }
    }
    return nullptr;
}

AssociatedValues& AssociatedValues::ensure(QObject& object) {
    if (auto* values = of(object)) {
        return *values;
    }
    return *new AssociatedValues(object); // owned by the object, as its child
}

} // namespace KeyboardShortcuts::internal
