#pragma once

class QString;

namespace pinlet {

// Whether two texts are the same under Unicode canonical equivalence (precomposed "é" equals
// "e" followed by a combining acute). Only the span where the texts differ is normalised, so
// comparing two large notes that differ by one keystroke stays cheap.
[[nodiscard]] bool canonicallyEquivalent(const QString& a, const QString& b);

} // namespace pinlet
