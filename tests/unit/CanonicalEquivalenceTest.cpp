#include "Pinlet/CanonicalEquivalence.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

TEST(CanonicalEquivalence, ComparesTextsUpToCanonicalComposition) {
    const QString padding(1000, QLatin1Char('x'));
    const struct {
        QString a;
        QString b;
        bool equivalent;
    } cases[] = {
        {QStringLiteral("caf\u00e9"), QStringLiteral("cafe\u0301"), true},
        {QStringLiteral("a\u0323\u0301"), QStringLiteral("a\u0301\u0323"), true},
        {QStringLiteral("\uAC00"), QStringLiteral("\u1100\u1161"), true},
        // The texts differ only in their last mark, which reorders with the one before it.
        {padding + QStringLiteral("a\u0301\u0323 tail"),
         padding + QStringLiteral("a\u0323\u0301 tail"), true},
        {QStringLiteral("\u00e9\u00e9\u00e9"), QStringLiteral("e\u0301\u00e9e\u0301"), true},
        {QStringLiteral("\u00e9\u00e9\u00e9"), QStringLiteral("e\u0301\u00e8e\u0301"), false},
        {QStringLiteral("cafe"), QStringLiteral("caf\u00e9"), false},
        {QString(), QStringLiteral(" "), false},
        {QStringLiteral("ab"), QStringLiteral("abc"), false},
        {QStringLiteral("a\u0301\u0301"), QStringLiteral("a\u0301"), false},
        // Compatibility forms are not canonical: the ligature is not "fi".
        {QStringLiteral("\uFB01"), QStringLiteral("fi"), false},
    };
    for (const auto& [a, b, equivalent] : cases) {
        EXPECT_EQ(pinlet::canonicallyEquivalent(a, b), equivalent) << a.toStdString();
        EXPECT_EQ(pinlet::canonicallyEquivalent(b, a), equivalent) << b.toStdString();
    }
}

} // namespace
