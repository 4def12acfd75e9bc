// Remembered settings through a temporary INI file: round trip, first run and the load rules.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/main/SettingsStore.h"
#include "support/ScriptedMessageBoxes.h"

namespace {

// A preset that differs from the defaults, so that an ignored value is seen to change nothing.
const ProgramSettings preset{7, 7, "/kept"};

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    int fileNumber_ = 0;

    // A new file for every test function and data row: QSettings caches files by name.
    [[nodiscard]] QString iniPath() const {
        return folder_.filePath(QStringLiteral("%1.ini").arg(fileNumber_));
    }

    // The settings loaded over the preset from a file holding `section`.
    ProgramSettings loadedFrom(const QByteArray& section) {
        QFile file(iniPath());
        if (!file.open(QIODevice::WriteOnly) || file.write("[3.0]\n" + section) < 0) {
            qFatal("cannot write %s", qPrintable(iniPath()));
        }
        file.close();
        ProgramSettings settings = preset;
        QSettings store(iniPath(), QSettings::IniFormat);
        if (!loadSettings(settings, store)) {
            settings.LastBrowse = "(not loaded)";
        }
        return settings;
    }

  private slots:
    void init() { ++fileNumber_; }

    void roundTripAndFirstRun() {
        ScriptedMessageBoxes boxes;
        ProgramSettings first;
        {
            QSettings store(iniPath(), QSettings::IniFormat);
            QVERIFY(!loadSettings(first, store));
            saveSettings(first, store, boxes);  // a first run still creates the values
        }
        QSettings written(iniPath(), QSettings::IniFormat);
        QVERIFY(written.contains("3.0/LastBrowse"));

        const ProgramSettings saved{2, 65535, "/home/op/Downloads/Läufe, alt"};
        {
            QSettings store(iniPath(), QSettings::IniFormat);
            saveSettings(saved, store, boxes);
        }
        ProgramSettings loaded;
        QSettings store(iniPath(), QSettings::IniFormat);
        QVERIFY(loadSettings(loaded, store));
        QVERIFY(loaded.OutFormat == saved.OutFormat && loaded.InFormat == saved.InFormat);
        QCOMPARE(loaded.LastBrowse, saved.LastBrowse);
        QVERIFY(boxes.shown.empty());
    }

    // A number is kept to its low 16 bits; anything but a 32-bit unsigned number leaves the preset.
    void numberRules() {
        for (const auto& [stored, expected] :
             {std::pair{"65537", 1}, std::pair{"4294967295", 65535}, std::pair{"4294967296", 7},
              std::pair{"abc", 7}, std::pair{"12abc", 7}, std::pair{"-1", 7}, std::pair{"1, 2", 7},
              std::pair{"", 7}}) {
            init();
            const ProgramSettings settings =
                loadedFrom(QByteArray("InFormat=") + stored + "\nOutFormat=" + stored + "\n");
            QVERIFY2(settings.InFormat == expected && settings.OutFormat == expected, stored);
            QCOMPARE(settings.LastBrowse, preset.LastBrowse);  // absent: kept
        }
    }

    // 255 bytes are kept; 256 are not, even in 255 characters when the last takes two bytes.
    void browseLength() {
        for (const auto& [folder, kept] :
             {std::pair{QString(255, u'a'), true}, std::pair{QString(256, u'a'), false},
              std::pair{QString(254, u'a') + QChar(0xE4), false}}) {
            init();
            const ProgramSettings settings = loadedFrom("LastBrowse=" + folder.toUtf8() + "\n");
            QCOMPARE(settings.LastBrowse, kept ? folder.toStdString() : preset.LastBrowse);
        }
    }

    void saveFailureShowsErrorBox() {
        QFile blocker(folder_.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // A folder that cannot exist, as a plain file stands in its way; fails even for root.
        QSettings store(folder_.filePath(QStringLiteral("not-a-folder/VelkMerge.ini")), QSettings::IniFormat);
        ScriptedMessageBoxes boxes;
        saveSettings(preset, store, boxes);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        const std::string& shown = boxes.shown.front();
        QVERIFY2(shown.starts_with("error: VELK Merge Program Error: Unable to save program settings (") &&
                     shown.ends_with(")"),
                 shown.c_str());
    }
};

QTEST_MAIN(SettingsStoreTest)
#include "SettingsStoreTest.moc"
