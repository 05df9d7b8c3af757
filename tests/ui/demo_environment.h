#pragma once

#include <QFile>
#include <QTemporaryDir>

// Points the program at the demo as run.sh starts it: our two libraries,
// the demo bus and a copy of the demo environment as the settings file, all
// within dir, in Japanese. False when the settings file could not be made.
// The test target defines where the libraries and the demo files are.
inline bool UseDemoEnvironment(const QTemporaryDir& dir) {
    const QString settings = dir.filePath(QStringLiteral("Sorvane.ini"));
    if (!QFile::copy(QStringLiteral(SORVANE_DEMO_DIR "/demo-env.ini"), settings)) {
        return false;
    }
    QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    qputenv("SORVANE_SETTINGS_FILE", settings.toLocal8Bit());
    qputenv("SORVANE_CANLIB", SORVANE_TEST_CANLIB);
    qputenv("SORVANE_KVADBLIB", SORVANE_TEST_KVADBLIB);
    qputenv("SORVANE_VCAN_CONFIG", SORVANE_DEMO_DIR "/vcan-demo.ini");
    qputenv("LANGUAGE", "ja_JP");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    return true;
}
