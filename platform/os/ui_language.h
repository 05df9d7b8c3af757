#pragma once

#include <cstdint>
#include <string>

namespace os {

// Windows language identifiers: primary language in the low 10 bits, sub
// language above. The start-up logic decides the UI language on these.
using LangId = uint16_t;

inline constexpr LangId PrimaryLanguage(LangId id) {
    return static_cast<LangId>(id & 0x3FF);
}

inline constexpr LangId kLangChinese = 0x04;
inline constexpr LangId kLangEnglish = 0x09;
inline constexpr LangId kLangJapanese = 0x11;
inline constexpr LangId kLangKorean = 0x12;

// The language identifier of a locale name such as "ja_JP.UTF-8", "zh_TW",
// "en" or "C"; 0x0409 (English, United States) when the name is unknown.
LangId LangIdFromLocaleName(const std::string& name);

// The user's UI language: the first entry of LANGUAGE, else LC_ALL,
// LC_MESSAGES, LANG (the order gettext uses for messages).
LangId UserDefaultUILanguage();
// The system default language: LC_ALL, else LC_CTYPE, else LANG.
LangId SystemDefaultLangId();

}  // namespace os
