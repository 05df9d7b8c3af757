#include "res/qt_language.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace res {

namespace {

constexpr uint32_t kSimplifiedChinese = 2052;

std::unique_ptr<QTranslator>& InstalledTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

}  // namespace

QString QtLocaleName(uint32_t languageId) {
    switch (languageId) {
        case 1041:
            return QStringLiteral("ja");
        case kSimplifiedChinese:
            return QStringLiteral("zh_CN");
        case 1028:
            return QStringLiteral("zh_TW");
        case 1042:
            return QStringLiteral("ko");
        default:
            return QString();
    }
}

QStringList CjkFamilies(uint32_t languageId) {
    QStringList families{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans CJK SC")};
    if (languageId == kSimplifiedChinese) {
        families.swapItemsAt(0, 1);
    }
    return families;
}

bool ApplyQtLanguage(uint32_t languageId) {
    std::unique_ptr<QTranslator>& installed = InstalledTranslator();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        // The first face still draws Latin text; ideographs it lacks come
        // from the CJK face of the language instead of the locale's choice.
        QFont font = QGuiApplication::font();
        QStringList families{font.family()};
        families << CjkFamilies(languageId);
        font.setFamilies(families);
        QGuiApplication::setFont(font);
    }
    const QString locale = QtLocaleName(languageId);
    if (locale.isEmpty()) {
        return true;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + locale,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

}  // namespace res
