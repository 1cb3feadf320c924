#pragma once

#include <QObject>
#include <any>
#include <cstdint>
#include <map>
#include <optional>

namespace KeyboardShortcuts {

// How an attached value is held. Values are kept by copy, on the main thread, so the five cases
// differ only in name here: each keeps its copy until it is replaced, removed or its object is
// destroyed. The numbers are kept for callers that store or compare them.
enum class AssociationPolicy : std::uint16_t {
    assign = 0,
    retainNonatomic = 1,
    copyNonatomic = 3,
    retain = 0x301,
    copy = 0x303,
};

namespace internal {
// The values attached to one object, keyed by association; a child of the object, so it goes
// with it.
class AssociatedValues final : public QObject {
public:
    static AssociatedValues* of(const QObject& object);
    static AssociatedValues& ensure(QObject& object);

    std::map<const void*, std::any> values;

private:
    explicit AssociatedValues(QObject& owner);
};
} // namespace internal

// One named slot on any number of QObjects: each association instance is its own key. A value
// lives as long as its object, or until it is replaced or removed.
template <typename Value> class ObjectAssociation {
public:
    explicit ObjectAssociation(AssociationPolicy policy = AssociationPolicy::retainNonatomic)
        : policy_(policy) {}
    ObjectAssociation(const ObjectAssociation&) = delete;
    ObjectAssociation& operator=(const ObjectAssociation&) = delete;

    [[nodiscard]] AssociationPolicy policy() const { return policy_; }

    // The value attached to the object under this association, if any.
    [[nodiscard]] std::optional<Value> operator[](const QObject& object) const {
        const auto* attached = internal::AssociatedValues::of(object);
        if (attached == nullptr) {
            return std::nullopt;
        }
        const auto found = attached->values.find(this);
        if (found == attached->values.end()) {
            return std::nullopt;
        }
        const auto* value = std::any_cast<Value>(&found->second);
        return value != nullptr ? std::optional(*value) : std::nullopt;
    }

    // Attaches the value, replacing any earlier one; none removes it.
    void set(QObject& object, std::optional<Value> value) const {
        if (value) {
            internal::AssociatedValues::ensure(object).values[this] = std::move(*value);
        } else if (auto* attached = internal::AssociatedValues::of(object)) {
            attached->values.erase(this);
        }
    }

private:
    AssociationPolicy policy_;
};

} // namespace KeyboardShortcuts
