// Remembered settings through a temporary INI file: round trip, first run and the load rules.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/SettingsStore.h"
#include "support/ScriptedMessageBoxes.h"

Q_DECLARE_METATYPE(ProgramSettings)

namespace {

// A preset that differs from the defaults, so that an ignored value is seen to change nothing.
ProgramSettings preset() {
    return {7, 7, "/kept"};
}

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    int fileNumber_ = 0;

    // A new file for every test function and data row: QSettings caches files by name.
    [[nodiscard]] QString iniPath() const {
        return folder_.filePath(QStringLiteral("%1.ini").arg(fileNumber_));
    }

    void writeIni(const QByteArray& section) {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[3.0]\n" + section);
    }

  private slots:
    void init() { ++fileNumber_; }

    void roundTripAndFirstRun() {
        ScriptedMessageBoxes boxes;
        ProgramSettings first;
        {
            QSettings store(iniPath(), QSettings::IniFormat);
            QVERIFY(!loadSettings(first, store));
            QCOMPARE(first.InFormat, 0);
            QCOMPARE(first.LastBrowse, std::string());
            saveSettings(first, store, boxes);  // a first run still creates the values
        }
        QSettings written(iniPath(), QSettings::IniFormat);
        QCOMPARE(written.value("3.0/OutFormat").toString(), QStringLiteral("0"));
        QCOMPARE(written.value("3.0/LastBrowse").toString(), QString());
        QVERIFY(written.contains("3.0/LastBrowse"));

        const ProgramSettings saved{2, 65535, "/home/op/Downloads/Läufe, alt"};
        {
            QSettings store(iniPath(), QSettings::IniFormat);
            saveSettings(saved, store, boxes);
        }
        ProgramSettings loaded;
        QSettings store(iniPath(), QSettings::IniFormat);
        QVERIFY(loadSettings(loaded, store));
        QCOMPARE(loaded.OutFormat, saved.OutFormat);
        QCOMPARE(loaded.InFormat, saved.InFormat);
        QCOMPARE(loaded.LastBrowse, saved.LastBrowse);
        QVERIFY(boxes.shown.empty());
    }

    void numberRules_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("low 16 bits") << QByteArray("65537") << 1;
        QTest::newRow("largest 32-bit") << QByteArray("4294967295") << 65535;
        QTest::newRow("over 32 bits") << QByteArray("4294967296") << 7;
        QTest::newRow("not a number") << QByteArray("abc") << 7;
        QTest::newRow("trailing text") << QByteArray("12abc") << 7;
        QTest::newRow("negative") << QByteArray("-1") << 7;
        QTest::newRow("a list") << QByteArray("1, 2") << 7;
        QTest::newRow("empty") << QByteArray("") << 7;
    }

    void numberRules() {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        writeIni("InFormat=" + stored + "\nOutFormat=" + stored + "\n");
        ProgramSettings settings = preset();
        QSettings store(iniPath(), QSettings::IniFormat);
        QVERIFY(loadSettings(settings, store));
        QCOMPARE(settings.InFormat, expected);
        QCOMPARE(settings.OutFormat, expected);
        QCOMPARE(settings.LastBrowse, preset().LastBrowse);  // absent: kept
    }

    void wrappedNumberIsSavedBackNarrow() {
        writeIni("InFormat=65537\n");
        ProgramSettings settings;
        ScriptedMessageBoxes boxes;
        {
            QSettings store(iniPath(), QSettings::IniFormat);
            QVERIFY(loadSettings(settings, store));
            saveSettings(settings, store, boxes);
        }
        QSettings store(iniPath(), QSettings::IniFormat);
        QCOMPARE(store.value("3.0/InFormat").toString(), QStringLiteral("1"));
    }

    void browseLength_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("kept");
        QTest::newRow("255 bytes") << QString(255, u'a') << true;
        QTest::newRow("256 bytes") << QString(256, u'a') << false;
        // 255 characters, but the last takes two bytes.
        QTest::newRow("256 bytes in 255 characters") << QString(254, u'a') + QChar(0xE4) << false;
    }

    void browseLength() {
        QFETCH(QString, folder);
        QFETCH(bool, kept);
        {
            QSettings store(iniPath(), QSettings::IniFormat);
            store.setValue("3.0/LastBrowse", folder);
        }
        ProgramSettings settings = preset();
        QSettings store(iniPath(), QSettings::IniFormat);
        QVERIFY(loadSettings(settings, store));
        QCOMPARE(settings.LastBrowse, kept ? folder.toStdString() : preset().LastBrowse);
    }

    void saveFailureShowsErrorBox() {
        QFile blocker(folder_.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // A folder that cannot exist, as a plain file stands in its way; fails even for root.
        QSettings store(folder_.filePath(QStringLiteral("not-a-folder/VelkMerge.ini")), QSettings::IniFormat);
        ScriptedMessageBoxes boxes;
        saveSettings(preset(), store, boxes);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY2(boxes.shown.front().starts_with(
                     "error: VELK Merge Program Error: Unable to save program settings ("),
                 boxes.shown.front().c_str());
        QVERIFY(boxes.shown.front().ends_with(")"));
    }
};

QTEST_MAIN(SettingsStoreTest)
#include "SettingsStoreTest.moc"
