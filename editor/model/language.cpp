#include "language.h"

#include <cstdio>

namespace lumora {

namespace {

enum MenuLanguage {
    ENGLISH,
    CHINESE,
    GERMAN,
    FRENCH,
    ITALIAN,
    SPANISH,
    PORTUGUESE,
    FINNISH,
    HUNGARIAN,
    TURKISH,
    CZECH,
    DANISH,
    SWEDISH,
    RUSSIAN,
    NORWEGIAN,
    ARABIC,
    POLISH,
    GREEK,
    PERSIAN,
};
static_assert(PERSIAN + 1 == kMenuLanguageCount);

constexpr uint32_t Bit(MenuLanguage l) { return 1u << l; }

template <typename... L>
constexpr uint32_t Set(L... languages)
{
    return (Bit(languages) | ...);
}

// The common European set, and the Middle-East one.
constexpr uint32_t B =
    Set(ENGLISH, GERMAN, FRENCH, ITALIAN, SPANISH, PORTUGUESE, HUNGARIAN, TURKISH, CZECH, DANISH, SWEDISH);
constexpr uint32_t E = Set(ENGLISH, GERMAN, FRENCH, ITALIAN, TURKISH, RUSSIAN, ARABIC, PERSIAN);

// One bit per menu language, by language-model position.
constexpr std::array<uint32_t, kLanguageModelCount> kSupport = {
    B,  // 0
    B & ~Set(SPANISH, TURKISH),  // 1
    B & ~Set(SPANISH, TURKISH),  // 2
    B,  // 3
    B | Bit(NORWEGIAN),  // 4
    (B & ~Set(PORTUGUESE, HUNGARIAN)) | Set(RUSSIAN, NORWEGIAN),  // 5
    B,  // 6
    B,  // 7
    B | Bit(RUSSIAN),  // 8
    B & ~Bit(CZECH),  // 9
    Set(ENGLISH, GERMAN, FRENCH, ITALIAN, RUSSIAN, ARABIC, PERSIAN),  // 10
    B | Bit(POLISH),  // 11
    B | Bit(POLISH),  // 12
    (B & ~Bit(CZECH)) | Set(RUSSIAN, ARABIC),  // 13
    E,  // 14
    B | Bit(ARABIC),  // 15
    E,  // 16
    B | Bit(GREEK),  // 17
    B | Bit(ARABIC),  // 18
    E,  // 19
    B,  // 20
    B | Bit(RUSSIAN),  // 21
    B | Bit(RUSSIAN),  // 22
    B | Bit(RUSSIAN),  // 23
    E,  // 24
    B | Bit(ARABIC),  // 25
    B | Set(RUSSIAN, ARABIC),  // 26
    B | Bit(ARABIC),  // 27
    B | Bit(ARABIC),  // 28
    B | Set(RUSSIAN, ARABIC),  // 29
    B | Bit(RUSSIAN),  // 30
    B | Bit(RUSSIAN),  // 31
    B | Set(RUSSIAN, ARABIC),  // 32
    E,  // 33
    B | Bit(POLISH),  // 34
    B | Set(RUSSIAN, POLISH),  // 35
    B | Set(RUSSIAN, POLISH),  // 36
    B,  // 37
    B | Bit(RUSSIAN),  // 38
    E,  // 39
    Set(ENGLISH, RUSSIAN),  // 40
    Bit(ENGLISH),  // 41
    Bit(ENGLISH),  // 42
    Bit(ENGLISH),  // 43
    Bit(ENGLISH),  // 44
    Set(ENGLISH, CHINESE),  // 45
    Set(ENGLISH, CHINESE),  // 46
    Set(ENGLISH, CHINESE),  // 47
};

}  // namespace

bool SupportMenuLanguage(int32_t model, int32_t language)
{
    if (model < 0 || model >= kLanguageModelCount || language < 0 || language >= kMenuLanguageCount)
        return false;
    return (kSupport[model] >> language) & 1u;
}

const std::array<std::string, kLanguageModelCount>& LanguageModelNames()
{
    static const auto names = [] {
        std::array<std::string, kLanguageModelCount> table;
        for (int p = 0; p < kLanguageModelCount; ++p) {
            char name[16];
            std::snprintf(name, sizeof name, "LANGMODEL-%02d", p + 1);
            table[p] = name;
        }
        table[28] = "MODEL-26";  // this variant is known by its receiver model's name
        return table;
    }();
    return names;
}

const std::array<std::string, kMenuLanguageCount>& MenuLanguageNames()
{
    static const std::array<std::string, kMenuLanguageCount> names = {
        "ENGLISH",   "CHINESE",   "GERMAN",  "FRENCH", "ITALIAN", "SPANISH", "PORTUGUESE",
        "FINNISH",   "HUNGARIAN", "TURKISH", "CZECH",  "DANISH",  "SWEDISH", "RUSSIAN",
        "NORWEGIAN", "ARABIC",    "POLISH",  "GREEK",  "PERSIAN",
    };
    return names;
}

}  // namespace lumora
