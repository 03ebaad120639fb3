#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "language.h"

using namespace lumora;

namespace {

// The menu languages a model supports, by name.
std::set<std::string> Supported(int model)
{
    std::set<std::string> names;
    for (int l = 0; l < kMenuLanguageCount; ++l)
        if (SupportMenuLanguage(model, l))
            names.insert(MenuLanguageNames()[l]);
    return names;
}

std::set<std::string> Plus(std::set<std::string> s, std::initializer_list<const char*> more)
{
    s.insert(more.begin(), more.end());
    return s;
}

std::set<std::string> Minus(std::set<std::string> s, std::initializer_list<const char*> less)
{
    for (const char* name : less)
        s.erase(name);
    return s;
}

}  // namespace

TEST(Language, EveryModelSupportsItsListedLanguages)
{
    const std::set<std::string> B = {"ENGLISH",   "GERMAN",  "FRENCH", "ITALIAN", "SPANISH", "PORTUGUESE",
                                     "HUNGARIAN", "TURKISH", "CZECH",  "DANISH",  "SWEDISH"};
    const std::set<std::string> E = {"ENGLISH", "GERMAN",  "FRENCH", "ITALIAN",
                                     "TURKISH", "RUSSIAN", "ARABIC", "PERSIAN"};
    const std::vector<std::pair<std::vector<int>, std::set<std::string>>> rows = {
        {{0, 3, 6, 7, 20, 37}, B},
        {{1, 2}, Minus(B, {"SPANISH", "TURKISH"})},
        {{4}, Plus(B, {"NORWEGIAN"})},
        {{5}, Plus(Minus(B, {"PORTUGUESE", "HUNGARIAN"}), {"RUSSIAN", "NORWEGIAN"})},
        {{8, 21, 22, 23, 30, 31, 38}, Plus(B, {"RUSSIAN"})},
        {{9}, Minus(B, {"CZECH"})},
        {{10}, {"ENGLISH", "GERMAN", "FRENCH", "ITALIAN", "RUSSIAN", "ARABIC", "PERSIAN"}},
        {{11, 12, 34}, Plus(B, {"POLISH"})},
        {{13}, Plus(Minus(B, {"CZECH"}), {"RUSSIAN", "ARABIC"})},
        {{14, 16, 19, 24, 33, 39}, E},
        {{15, 18, 25, 27, 28}, Plus(B, {"ARABIC"})},
        {{17}, Plus(B, {"GREEK"})},
        {{26, 29, 32}, Plus(B, {"RUSSIAN", "ARABIC"})},
        {{35, 36}, Plus(B, {"RUSSIAN", "POLISH"})},
        {{40}, {"ENGLISH", "RUSSIAN"}},
        {{41, 42, 43, 44}, {"ENGLISH"}},
        {{45, 46, 47}, {"ENGLISH", "CHINESE"}},
    };
    std::set<int> covered;
    for (const auto& [models, languages] : rows)
        for (int model : models) {
            EXPECT_EQ(Supported(model), languages) << "language model " << model;
            covered.insert(model);
        }
    EXPECT_EQ(covered.size(), 48u);
    for (int model = 0; model < kLanguageModelCount; ++model)
        EXPECT_FALSE(SupportMenuLanguage(model, 7)) << "FINNISH in model " << model;
}

TEST(Language, OutOfRangeQueriesAreFalse)
{
    EXPECT_TRUE(SupportMenuLanguage(10, 18));
    EXPECT_TRUE(SupportMenuLanguage(45, 1));
    EXPECT_FALSE(SupportMenuLanguage(0, 18));
    EXPECT_FALSE(SupportMenuLanguage(48, 0));
    EXPECT_FALSE(SupportMenuLanguage(-1, 0));
    EXPECT_FALSE(SupportMenuLanguage(0, 19));
    EXPECT_FALSE(SupportMenuLanguage(0, -1));
    EXPECT_FALSE(SupportMenuLanguage(INT32_MIN, INT32_MAX));
}

TEST(Language, NamesAreInTableOrderAndDistinct)
{
    const auto& names = LanguageModelNames();
    EXPECT_EQ(names[0], "LANGMODEL-01");
    EXPECT_EQ(names[9], "LANGMODEL-10");
    EXPECT_EQ(names[27], "LANGMODEL-28");
    EXPECT_EQ(names[28], "MODEL-26");
    EXPECT_EQ(names[29], "LANGMODEL-30");
    EXPECT_EQ(names[47], "LANGMODEL-48");
    // The settings dialog maps a chosen name back to its position.
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());

    EXPECT_EQ(MenuLanguageNames()[0], "ENGLISH");
    EXPECT_EQ(MenuLanguageNames()[7], "FINNISH");
    EXPECT_EQ(MenuLanguageNames()[18], "PERSIAN");
}
