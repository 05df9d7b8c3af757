#include "ui_language.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace os {

namespace {

struct LocaleEntry {
    const char* name;  // language or language_TERRITORY
    LangId id;
};

// Territory-specific identifiers first; a bare language falls back to the
// entry of its language alone.
constexpr LocaleEntry kLocales[] = {
    {"ja_JP", 0x0411}, {"ja", 0x0411},    {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"zh_TW", 0x0404},
    {"zh_HK", 0x0C04}, {"zh_MO", 0x1404}, {"zh", 0x0804},    {"ko_KR", 0x0412}, {"ko", 0x0412},
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409},
    {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"en_IN", 0x4009}, {"en", 0x0409},    {"de_DE", 0x0407},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de", 0x0407},    {"fr_FR", 0x040C}, {"fr_BE", 0x080C},
    {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr", 0x040C},    {"es_ES", 0x0C0A}, {"es_MX", 0x080A},
    {"es", 0x0C0A},    {"it_IT", 0x0410}, {"it", 0x0410},    {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
    {"pt", 0x0816},    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"nl", 0x0413},    {"sv_SE", 0x041D},
    {"sv", 0x041D},    {"da_DK", 0x0406}, {"da", 0x0406},    {"nb_NO", 0x0414}, {"nb", 0x0414},
    {"fi_FI", 0x040B}, {"fi", 0x040B},    {"pl_PL", 0x0415}, {"pl", 0x0415},    {"cs_CZ", 0x0405},
    {"cs", 0x0405},    {"hu_HU", 0x040E}, {"hu", 0x040E},    {"ru_RU", 0x0419}, {"ru", 0x0419},
    {"uk_UA", 0x0422}, {"uk", 0x0422},    {"tr_TR", 0x041F}, {"tr", 0x041F},    {"el_GR", 0x0408},
    {"el", 0x0408},    {"he_IL", 0x040D}, {"he", 0x040D},    {"ar_SA", 0x0401}, {"ar", 0x0401},
    {"th_TH", 0x041E}, {"th", 0x041E},    {"vi_VN", 0x042A}, {"vi", 0x042A},    {"id_ID", 0x0421},
    {"id", 0x0421},    {"hi_IN", 0x0439}, {"hi", 0x0439},
};

constexpr LangId kDefault = 0x0409;

const char* FirstSet(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return nullptr;
}

}  // namespace

LangId LangIdFromLocaleName(const std::string& name) {
    // "ll_TT.codeset@modifier": keep language and territory only.
    std::string key;
    for (char c : name) {
        if (c == '.' || c == '@' || c == ':') {
            break;
        }
        key.push_back(c == '-' ? '_' : c);
    }
    const size_t underscore = key.find('_');
    std::string language = key.substr(0, underscore);
    for (char& c : language) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::string territory = underscore == std::string::npos ? "" : key.substr(underscore + 1);
    for (char& c : territory) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    // Traditional script without a territory is Taiwan's.
    if (language == "zh" && (territory == "HANT" || territory == "HANT_TW")) {
        territory = "TW";
    }
    if (language == "zh" && territory.rfind("HANS", 0) == 0) {
        territory = "CN";
    }
    if (!territory.empty()) {
        const std::string full = language + "_" + territory;
        for (const LocaleEntry& entry : kLocales) {
            if (full == entry.name) {
                return entry.id;
            }
        }
    }
    for (const LocaleEntry& entry : kLocales) {
        if (language == entry.name) {
            return entry.id;
        }
    }
    return kDefault;
}

LangId UserDefaultUILanguage() {
    // LANGUAGE is a priority list; gettext ignores it for the C locale.
    const char* locale = FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"});
    const bool cLocale = locale == nullptr || std::strcmp(locale, "C") == 0 ||
                         std::strcmp(locale, "POSIX") == 0 || std::strncmp(locale, "C.", 2) == 0;
    if (const char* list = std::getenv("LANGUAGE"); list != nullptr && *list != '\0' && !cLocale) {
        const std::string first(list, std::strcspn(list, ":"));
        if (!first.empty()) {
            return LangIdFromLocaleName(first);
        }
    }
    return locale != nullptr ? LangIdFromLocaleName(locale) : kDefault;
}

LangId SystemDefaultLangId() {
    const char* locale = FirstSet({"LC_ALL", "LC_CTYPE", "LANG"});
    return locale != nullptr ? LangIdFromLocaleName(locale) : kDefault;
}

}  // namespace os
