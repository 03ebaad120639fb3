// The language models: receiver firmware variants and the menu languages each
// of them carries.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lumora {

inline constexpr int kLanguageModelCount = 48;
inline constexpr int kMenuLanguageCount = 19;

// Whether language model `model` (0..47) carries menu language `language`
// (a position in MenuLanguageNames()); false for anything out of range.
bool SupportMenuLanguage(int32_t model, int32_t language);

// The language-model names in table order ("LANGMODEL-01" ...).
const std::array<std::string, kLanguageModelCount>& LanguageModelNames();

// The menu languages in position order ("ENGLISH", "CHINESE", ...).
const std::array<std::string, kMenuLanguageCount>& MenuLanguageNames();

}  // namespace lumora
