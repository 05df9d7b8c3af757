#include "platform/os/ui_language.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

// Sets the locale variables for one test and restores them afterwards.
class LocaleEnv {
public:
    LocaleEnv() {
        for (const char* name : kNames) {
            const char* v = getenv(name);
            saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
            unsetenv(name);
        }
    }
    ~LocaleEnv() {
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i])
                setenv(kNames[i], saved_[i]->c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }
    void Set(const char* name, const char* value) { setenv(name, value, 1); }

private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE",
                                             "LANG"};
    std::vector<std::optional<std::string>> saved_;
};

}  // namespace

TEST(UiLanguage, LocaleNamesMapToWindowsLanguageIds) {
    struct Case {
        const char* name;
        os::LangId id;
    };
    const Case cases[] = {
        {"ja_JP.UTF-8", 0x0411},
        {"ja", 0x0411},
        {"zh_CN.UTF-8", 0x0804},
        {"zh_TW.Big5", 0x0404},
        {"zh_HK", 0x0C04},
        {"zh_SG", 0x1004},
        {"zh-Hant", 0x0404},
        {"zh", 0x0804},
        {"ko_KR.eucKR", 0x0412},
        {"en_GB.UTF-8@euro", 0x0809},
        {"de_DE", 0x0407},
        {"de_LU", 0x0407},
        {"C", 0x0409},
        {"POSIX", 0x0409},
        {"", 0x0409},
        {"xx_YY", 0x0409},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(os::LangIdFromLocaleName(c.name), c.id) << c.name;
    }
    EXPECT_EQ(os::PrimaryLanguage(0x0804), os::kLangChinese);
    EXPECT_EQ(os::PrimaryLanguage(0x0411), os::kLangJapanese);
    EXPECT_EQ(os::PrimaryLanguage(0x0412), os::kLangKorean);
    EXPECT_EQ(os::PrimaryLanguage(0x0809), os::kLangEnglish);
}

TEST(UiLanguage, UserLanguageFollowsGettextPriority) {
    LocaleEnv env;
    EXPECT_EQ(os::UserDefaultUILanguage(), 0x0409);  // nothing set
    env.Set("LANG", "ja_JP.UTF-8");
    EXPECT_EQ(os::UserDefaultUILanguage(), 0x0411);
    env.Set("LC_MESSAGES", "ko_KR.UTF-8");
    EXPECT_EQ(os::UserDefaultUILanguage(), 0x0412);
    env.Set("LC_ALL", "zh_TW.UTF-8");
    EXPECT_EQ(os::UserDefaultUILanguage(), 0x0404);
    env.Set("LANGUAGE", "zh_CN:en");
    EXPECT_EQ(os::UserDefaultUILanguage(), 0x0804);
    // LANGUAGE does not apply under the C locale.
    env.Set("LC_ALL", "C");
    EXPECT_EQ(os::UserDefaultUILanguage(), 0x0409);
}

TEST(UiLanguage, SystemLanguageComesFromTheCharacterLocale) {
    LocaleEnv env;
    env.Set("LANG", "zh_TW.UTF-8");
    env.Set("LC_MESSAGES", "en_US.UTF-8");
    EXPECT_EQ(os::SystemDefaultLangId(), 0x0404);
    env.Set("LC_CTYPE", "zh_CN.UTF-8");
    EXPECT_EQ(os::SystemDefaultLangId(), 0x0804);
}
