#include "Pinlet/CanonicalEquivalence.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

using pinlet::canonicallyEquivalent;

const QString precomposed = QStringLiteral("caf\u00e9");
const QString decomposed = QStringLiteral("cafe\u0301");

TEST(CanonicalEquivalence, ComposedAndDecomposedFormsAreEqual) {
    EXPECT_TRUE(canonicallyEquivalent(precomposed, decomposed));
    EXPECT_TRUE(canonicallyEquivalent(decomposed, precomposed));
    // Combining marks of different classes in either order.
    EXPECT_TRUE(
        canonicallyEquivalent(QStringLiteral("a\u0323\u0301"), QStringLiteral("a\u0301\u0323")));
    // Hangul syllable and its jamo.
    EXPECT_TRUE(canonicallyEquivalent(QStringLiteral("\uAC00"), QStringLiteral("\u1100\u1161")));
}

TEST(CanonicalEquivalence, DifferentTextsDiffer) {
    EXPECT_FALSE(canonicallyEquivalent(QStringLiteral("cafe"), precomposed));
    EXPECT_FALSE(canonicallyEquivalent(QString(), QStringLiteral(" ")));
    EXPECT_FALSE(canonicallyEquivalent(QStringLiteral("ab"), QStringLiteral("abc")));
    EXPECT_FALSE(canonicallyEquivalent(QStringLiteral("a\u0301\u0301"), QStringLiteral("a\u0301")));
    // Compatibility forms are not canonical: the ligature stays distinct from "fi".
    EXPECT_FALSE(canonicallyEquivalent(QStringLiteral("\uFB01"), QStringLiteral("fi")));
}

TEST(CanonicalEquivalence, LooksBeyondTheDifferingSpanWhereMarksReachAcrossIt) {
    // The texts differ only in their last mark, but that mark reorders with the one before.
    const QString long1 = QString(1000, QLatin1Char('x')) + QStringLiteral("a\u0301\u0323 tail");
    const QString long2 = QString(1000, QLatin1Char('x')) + QStringLiteral("a\u0323\u0301 tail");
    EXPECT_TRUE(canonicallyEquivalent(long1, long2));
    // A decomposed letter at the very start, and non-ASCII text throughout.
    EXPECT_TRUE(canonicallyEquivalent(QStringLiteral("\u00e9\u00e9\u00e9"),
                                      QStringLiteral("e\u0301\u00e9e\u0301")));
    EXPECT_FALSE(canonicallyEquivalent(QStringLiteral("\u00e9\u00e9\u00e9"),
                                       QStringLiteral("e\u0301\u00e8e\u0301")));
}

TEST(CanonicalEquivalence, OneEditInALargeNoteIsSeen) {
    QString note(1 << 20, QLatin1Char('n'));
    QString edited = note;
    edited[512 * 1024] = QLatin1Char('m');
    EXPECT_FALSE(canonicallyEquivalent(note, edited));
    EXPECT_TRUE(canonicallyEquivalent(note, QString(note.constData(), note.size())));
}

} // namespace
