// Start-up in a language. The program starts once per process, so each case
// runs the start in a child process of this test and reports what the user
// was shown; the parent compares it with the resource sets. The delivered
// libraries lie beside this test as they lie beside the program.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "app/sorvane_app.h"
#include "platform/os/registry.h"
#include "res/ids.h"
#include "res/language_library.h"
#include "res/resource_index.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"
#include "tests/ui/fake_frame_backend.h"

namespace {

constexpr char kChildFlag[] = "--start-once";

QString Text(const char* text) {
    return QString::fromUtf8(text != nullptr ? text : "");
}

// ---- the child: one start, reported as JSON on stdout ----------------------

int StartOnce(int argc, char** argv) {
    CSorvaneApp app(argc, argv);
    ScriptedDialogs dialogs;  // every box answered OK, so 292 counts as No
    QJsonObject report;
    report[QStringLiteral("started")] = app.InitInstance();
    report[QStringLiteral("language")] = app.Settings().language;
    QJsonArray boxes;
    for (const CDialogService::Box& box : dialogs.boxes) {
        boxes.append(QJsonObject{{QStringLiteral("id"), static_cast<int>(box.stringId)},
                                 {QStringLiteral("text"), box.text}});
    }
    report[QStringLiteral("boxes")] = boxes;
    if (CMainFrame* frame = app.MainFrame()) {
        QJsonArray menus;
        for (QAction* action : frame->menuBar()->actions()) {
            menus.append(action->text());
        }
        report[QStringLiteral("menus")] = menus;
    }
    // A standard button as Qt labels it in the language now installed.
    report[QStringLiteral("yes")] = QCoreApplication::translate("QPlatformTheme", "&Yes");
    app.ExitInstance();
    std::fputs(QJsonDocument(report).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}

// ---- the parent ----------------------------------------------------------------

constexpr int kNoSettings = -100;

// The sets a start can end up with.
struct Sets {
    res::ResourceIndex japanese;
    res::LanguageLibrary englishLibrary;
    res::LanguageLibrary chineseLibrary;
    res::ResourceIndex english;
    res::ResourceIndex chinese;

    bool Load() {
        const QString dir = QCoreApplication::applicationDirPath();
        return japanese.Build(SorvaneBuiltinResourceSet(), nullptr) &&
               englishLibrary.Load(res::LanguageLibraryPath(dir.toStdString(), 1)) ==
                   res::LibraryStatus::Loaded &&
               chineseLibrary.Load(res::LanguageLibraryPath(dir.toStdString(), 2)) ==
                   res::LibraryStatus::Loaded &&
               english.Build(englishLibrary.Set(), nullptr) &&
               chinese.Build(chineseLibrary.Set(), nullptr);
    }
    const res::ResourceIndex& Of(const QString& name) const {
        return name == u"en" ? english : name == u"cn" ? chinese : japanese;
    }
};

QStringList Strings(const QJsonValue& value) {
    QStringList out;
    for (const QJsonValue& item : value.toArray()) {
        out << item.toString();
    }
    return out;
}

}  // namespace

class LanguageStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(sets_.Load(), "the language libraries beside the test"); }
    void start_data();
    void start();

private:
    Sets sets_;
};

void LanguageStartTest::start_data() {
    QTest::addColumn<int>("stored");  // kNoSettings: first start
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("language");  // after the start
    QTest::addColumn<QList<int>>("boxes");
    QTest::addColumn<QString>("set");  // the set the user sees: ja, en, cn
    QTest::addColumn<QString>("firstMenu");
    const QList<int> libraries{IDS_ERR_CANLIB_MISSING, IDS_ERR_KVADBLIB_MISSING};
    const QList<int> firstStart = libraries + QList<int>{IDS_FIRST_START};
    QTest::newRow("english chosen") << 1 << "ja_JP" << 1 << libraries << "en"
                                    << "&File";
    QTest::newRow("chinese chosen") << 2 << "ja_JP" << 2 << libraries << "cn"
                                    << "文件(&F)";
    QTest::newRow("first start, english desktop")
        << kNoSettings << "en_US" << 1 << firstStart << "en"
        << "&File";
    QTest::newRow("first start, simplified-chinese desktop")
        << kNoSettings << "zh_CN" << 2 << firstStart << "cn"
        << "文件(&F)";
    QTest::newRow("korean missing, english desktop")
        << 4 << "en_US" << 0 << QList<int>{IDS_ERR_LANGLIB_EN} + libraries << "ja"
        << "ファイル(&F)";
    QTest::newRow("traditional missing, simplified-chinese desktop")
        << 3 << "zh_CN" << 0 << QList<int>{IDS_ERR_LANGLIB_CN} + libraries << "ja"
        << "ファイル(&F)";
    QTest::newRow("korean missing, japanese desktop")
        << 4 << "ja_JP" << 0 << QList<int>{IDS_ERR_LANGLIB_JA} + libraries << "ja"
        << "ファイル(&F)";
    QTest::newRow("korean missing, german desktop: no message")
        << 4 << "de_DE" << 0 << libraries << "ja"
        << "ファイル(&F)";
    QTest::newRow("stored 7 becomes japanese without a message")
        << 7 << "en_US" << 0 << libraries << "ja"
        << "ファイル(&F)";
}

void LanguageStartTest::start() {
    QFETCH(int, stored);
    QFETCH(QString, locale);
    QFETCH(int, language);
    QFETCH(QList<int>, boxes);
    QFETCH(QString, set);
    QFETCH(QString, firstMenu);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string settingsFile = dir.filePath(QStringLiteral("Sorvane.ini")).toStdString();
    os::Registry registry(dir.filePath(QStringLiteral("registry")).toStdString());
    if (stored != kNoSettings) {
        AppSettings settings;
        SetDefaultSettings(settings);
        settings.language = stored;
        CSettingsStore store(settings, registry);
        QVERIFY(store.SaveSettings(settingsFile, ENV_ALL));
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LC_CTYPE"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("LANGUAGE"), locale);
    env.insert(QStringLiteral("LANG"), locale + QStringLiteral(".UTF-8"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("SORVANE_SETTINGS_FILE"), QString::fromStdString(settingsFile));
    // Both vendor libraries missing: their messages show the language of the boxes.
    env.insert(QStringLiteral("SORVANE_CANLIB"), dir.filePath(QStringLiteral("missing.so")));
    env.insert(QStringLiteral("SORVANE_KVADBLIB"), dir.filePath(QStringLiteral("missing.so")));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildFlag)});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    const QJsonObject report = QJsonDocument::fromJson(child.readAllStandardOutput()).object();
    QVERIFY2(report.value(QStringLiteral("started")).toBool(), child.readAllStandardError());

    const res::ResourceIndex& expected = sets_.Of(set);
    QCOMPARE(report.value(QStringLiteral("language")).toInt(), language);
    QList<int> shown;
    for (const QJsonValue& box : report.value(QStringLiteral("boxes")).toArray()) {
        const int id = box[QStringLiteral("id")].toInt();
        shown << id;
        QCOMPARE(box[QStringLiteral("text")].toString(), Text(expected.String(id)));
    }
    QCOMPARE(shown, boxes);

    QStringList menus;
    const SorvaneResMenu* bar = expected.Menu(IDR_MAINFRAME);
    for (uint32_t i = 0; i < bar->itemCount; ++i) {
        menus << Text(bar->items[i].text);
    }
    QCOMPARE(Strings(report.value(QStringLiteral("menus"))), menus);
    QCOMPARE(menus.value(0), firstMenu);
    // Qt's own buttons follow the set where Qt has the translation installed.
    const QString yes = report.value(QStringLiteral("yes")).toString();
    const QString qtLocale = set == u"cn" ? QStringLiteral("zh_CN") : QStringLiteral("ja");
    if (set == u"en") {
        QCOMPARE(yes, QStringLiteral("&Yes"));
    } else if (QFile::exists(QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                                 .filePath(QStringLiteral("qtbase_%1.qm").arg(qtLocale)))) {
        QVERIFY2(yes != QStringLiteral("&Yes"), qPrintable(yes));
    }

    // What the start decided is what the next start finds.
    AppSettings saved;
    SetDefaultSettings(saved);
    CSettingsStore store(saved, registry);
    store.SetCopyWorkspaceOnLoad(false);
    QVERIFY(store.LoadSettings(settingsFile));
    QCOMPARE(saved.language, language);
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0) {
        return StartOnce(argc, argv);
    }
    QCoreApplication app(argc, argv);
    LanguageStartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "language_start_test.moc"
