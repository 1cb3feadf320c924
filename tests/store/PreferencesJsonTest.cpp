#include "platform/linux/PreferencesJson.h"

#include <gtest/gtest.h>

namespace {

using platform::ValueDictionary;
using platform::linux_desktop::parsePreferencesJson;
using platform::linux_desktop::PreferencesDocument;
using platform::linux_desktop::PreferencesJsonError;
using platform::linux_desktop::toPreferencesJson;
using namespace std::string_literals;

PreferencesDocument parsed(std::string_view text) {
    auto result = parsePreferencesJson(text);
    if (const auto* error = std::get_if<PreferencesJsonError>(&result)) {
        ADD_FAILURE() << error->reason;
        return {};
    }
    return std::get<PreferencesDocument>(std::move(result));
}

std::string reason(std::string_view text) {
    const auto result = parsePreferencesJson(text);
    const auto* error = std::get_if<PreferencesJsonError>(&result);
    return error == nullptr ? "parsed" : error->reason;
}

TEST(PreferencesJson, DecodesEveryEscape) {
    const auto document =
        parsed(R"({"s": "\"\\\/\b\f\n\r\t\u0000\u00e9\u4E2D\ud83d\ude00", "lone": "\ud800x"})");
    EXPECT_EQ(document.values.at("s"),
              platform::PreferenceValue("\"\\/\b\f\n\r\t\0\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"s));
    EXPECT_EQ(document.values.at("lone"), platform::PreferenceValue("\xED\xA0\x80x"s));
}

TEST(PreferencesJson, WritesControlCharactersAsEscapesAndMembersOneALine) {
    const PreferencesDocument document{{{"b", "\x01\t\"\\"s}, {"a", -0.0}, {"c", false}},
                                       {{"z", "[1, 2]"}}};
    EXPECT_EQ(
        toPreferencesJson(document),
        "{\n  \"a\": -0,\n  \"b\": \"\\u0001\\t\\\"\\\\\",\n  \"c\": false,\n  \"z\": [1, 2]\n}\n");
    EXPECT_EQ(toPreferencesJson({}), "{}\n");
}

TEST(PreferencesJson, TheLastOfDuplicateMembersCounts) {
    const auto document = parsed(R"({"a": 1, "b": [], "a": null, "b": true})");
    EXPECT_EQ(document.values, (ValueDictionary{{"b", true}}));
    EXPECT_EQ(document.foreignMembers.at("a"), "null");
    EXPECT_FALSE(document.foreignMembers.contains("b"));
}

TEST(PreferencesJson, AcceptsAByteOrderMarkAndAllJsonWhitespace) {
    EXPECT_EQ(parsed("\xEF\xBB\xBF \t\r\n{ \"n\" :\n-1.5E+2 }\n").values,
              (ValueDictionary{{"n", -150.0}}));
}

TEST(PreferencesJson, SaysWhatIsWrongAndWhere) {
    EXPECT_EQ(reason("{\n  \"a\": 1\n  \"b\": 2\n}"),
              "not valid JSON: expected '}' at line 3, column 3");
    EXPECT_EQ(reason(R"({"a": tru})"), "not valid JSON: unknown word at line 1, column 7");
    EXPECT_EQ(reason(R"({"a": 01})"), "not valid JSON: expected '}' at line 1, column 8");
    EXPECT_EQ(reason(R"({"a": "\x"})"),
              "not valid JSON: unknown escape in a string at line 1, column 9");
    EXPECT_EQ(reason("[1, 2]"), "not a JSON object");
    EXPECT_EQ(reason(""), "the file is empty");
}

TEST(PreferencesJson, RefusesDeepNestingWithoutExhaustingTheStack) {
    const std::string deep = R"({"a": )" + std::string(100000, '[');
    EXPECT_EQ(reason(deep).rfind("not valid JSON: values nested too deeply", 0), 0U)
        << reason(deep);
    const std::string fine = R"({"a": )" + std::string(500, '[') + std::string(500, ']') + "}";
    EXPECT_EQ(parsed(fine).foreignMembers.size(), 1U);
}

} // namespace
