#include "Pinlet/CanonicalEquivalence.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstring>

namespace pinlet {
namespace {

// An ASCII character decomposes to itself and never reorders with its neighbours, so
// normalisation never reaches across it: cutting a text before one leaves each side's
// decomposition unchanged.
bool isAscii(QChar c) {
    return c.unicode() < 0x80;
}

// Whole blocks are compared with memcmp first, which is many times faster than comparing
// character by character.
constexpr qsizetype comparisonBlock = 256;

bool blocksEqual(const QChar* a, const QChar* b, qsizetype length) {
    return std::memcmp(a, b, static_cast<std::size_t>(length) * sizeof(QChar)) == 0;
}

qsizetype commonPrefixLength(QStringView a, QStringView b) {
    const qsizetype limit = std::min(a.size(), b.size());
    qsizetype length = 0;
    while (length + comparisonBlock <= limit &&
           blocksEqual(a.data() + length, b.data() + length, comparisonBlock)) {
        length += comparisonBlock;
    }
    while (length < limit && a[length] == b[length]) {
        ++length;
    }
    return length;
}

qsizetype commonSuffixLength(QStringView a, QStringView b) {
    const qsizetype limit = std::min(a.size(), b.size());
    const auto fromEnd = [](QStringView text, qsizetype count) {
        return text.data() + text.size() - count;
    };
    qsizetype length = 0;
    while (length + comparisonBlock <= limit &&
           blocksEqual(fromEnd(a, length + comparisonBlock), fromEnd(b, length + comparisonBlock),
                       comparisonBlock)) {
        length += comparisonBlock;
    }
    while (length < limit && *fromEnd(a, length + 1) == *fromEnd(b, length + 1)) {
        ++length;
    }
    return length;
}

// A cut before an ASCII character or at either end of a text.
bool isSafeCut(QStringView text, qsizetype cut) {
    return cut == text.size() || isAscii(text[cut]);
}

// The nearest cut at or before `cut` that is safe in both texts, which agree before it.
qsizetype commonSafeStart(QStringView a, QStringView b, qsizetype cut) {
    while (cut > 0 && !(isSafeCut(a, cut) && isSafeCut(b, cut))) {
        --cut;
    }
    return cut;
}

// The nearest safe cut at or after `cut`.
qsizetype safeEnd(QStringView text, qsizetype cut) {
    while (!isSafeCut(text, cut)) {
        ++cut;
    }
    return cut;
}

} // namespace

bool canonicallyEquivalent(const QString& a, const QString& b) {
    const bool sameBuffer = a.constData() == b.constData() && a.size() == b.size();
    if (sameBuffer || a == b) {
        return true;
    }
    const QStringView left(a);
    const QStringView right(b);
    const qsizetype prefix = commonPrefixLength(left, right);
    const qsizetype suffix =
        std::min(commonSuffixLength(left, right), std::min(a.size(), b.size()) - prefix);
    // Before the start the texts are equal; after the two ends they are equal too, since both
    // ends move over the same common suffix.
    const qsizetype start = commonSafeStart(left, right, prefix);
    const qsizetype leftEnd = safeEnd(left, a.size() - suffix);
    const qsizetype rightEnd = safeEnd(right, b.size() - suffix);
    const auto normalised = [start](QStringView text, qsizetype end) {
        return text.sliced(start, end - start).toString().normalized(QString::NormalizationForm_D);
    };
    return normalised(left, leftEnd) == normalised(right, rightEnd);
}

} // namespace pinlet
