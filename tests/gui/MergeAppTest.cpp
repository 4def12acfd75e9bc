// Start-up and end of the desktop program: the remembered settings and their rules, and a socket failure.
#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

#include "gui/main/MergeApp.h"
#include "gui/main/MergeWindow.h"
#include "gui/main/SettingsStore.h"
#include "support/ScriptedMessageBoxes.h"

namespace {

// Hands the next modal dialog to `look` from inside its modal loop, then rejects it; when none opens within
// five seconds the test fails instead of hanging.
void whenModalOpens(const std::function<void(QDialog*)>& look, int triesLeft = 500) {
    QTimer::singleShot(10, qApp, [look, triesLeft] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            look(modal);
            modal->reject();
        } else if (triesLeft > 0) {
            whenModalOpens(look, triesLeft - 1);
        } else {
            QTest::qFail("no modal window opened", __FILE__, __LINE__);
            for (QWidget* window : QApplication::topLevelWidgets()) {
                window->close();
            }
        }
    });
}

}  // namespace

class MergeAppTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    int fileNumber_ = 0;
    ScriptedMessageBoxes boxes_;
    MergeAppPlatform platform_;
    // Differs from the defaults, so that an ignored value is seen to change nothing.
    const ProgramSettings preset_ = [] {
        ProgramSettings settings;
        settings.OutFormat = settings.InFormat = 7;
        settings.LastBrowse = "/kept";
        return settings;
    }();

    // A new file each time: QSettings caches files by name.
    QString newIniPath() { return folder_.filePath(QStringLiteral("%1.ini").arg(++fileNumber_)); }

    // The settings loaded over the preset from a file holding `section`.
    ProgramSettings loadedFrom(const QByteArray& section) {
        const QString path = newIniPath();
        QFile file(path);
        QTEST_ASSERT(file.open(QIODevice::WriteOnly) && file.write("[3.0]\n" + section) > 0);
        file.close();
        ProgramSettings settings = preset_;
        QSettings store(path, QSettings::IniFormat);
        QTEST_ASSERT(loadSettings(settings, store));
        return settings;
    }

  private slots:
    void init() {
        boxes_.shown.clear();
        platform_ = MergeAppPlatform{};
        platform_.settingsBoxes = &boxes_;
        platform_.windowBoxes = &boxes_;
    }

    // The window opens with the loaded layout and what was loaded is saved on exit; a first run, with
    // nothing to load, still saves the values.
    void exitRightAfterStartSavesWhatWasLoaded() {
        for (const bool firstRun : {true, false}) {
            const QString path = newIniPath();
            if (!firstRun) {
                QSettings seed(path, QSettings::IniFormat);
                seed.setValue("3.0/OutFormat", 65535u);  // as this process saves it
                seed.setValue("3.0/InFormat", 65538);    // loads as 2
                seed.setValue("3.0/LastBrowse", QStringLiteral("/home/op/Läufe, alt"));
            }
            platform_.openSettings = [&path] {
                return std::make_unique<QSettings>(path, QSettings::IniFormat);
            };
            int layoutShown = -1;
            whenModalOpens([&layoutShown](QDialog* modal) {
                layoutShown = qobject_cast<MergeWindow*>(modal)->dialog().inputLayout;
            });
            QCOMPARE(MergeApp(platform_).run(), 0);
            QCOMPARE(layoutShown, firstRun ? 0 : 2);
            QVERIFY(boxes_.shown.empty());
            QSettings saved(path, QSettings::IniFormat);
            QStringList values;
            for (const char* key : {"3.0/OutFormat", "3.0/InFormat", "3.0/LastBrowse"}) {
                values << saved.value(key, "absent").toString();
            }
            QCOMPARE(values.join('|'),
                     firstRun ? QStringLiteral("0|0|") : QStringLiteral("65535|2|/home/op/Läufe, alt"));
        }
    }

    // A number keeps its low 16 bits; anything but a 32-bit unsigned number leaves the value as it was. A
    // folder of 255 bytes is kept, of 256 not, even in 255 characters when the last takes two bytes.
    void settingsLoadRules() {
        const std::pair<const char*, int> numbers[] = {{"65537", 1},      {"4294967295", 65535},
                                                       {"4294967296", 7}, {"abc", 7},
                                                       {"12abc", 7},      {"-1", 7},
                                                       {"1, 2", 7},       {"", 7}};
        for (const auto& [stored, expected] : numbers) {
            const ProgramSettings settings =
                loadedFrom(QByteArray("InFormat=") + stored + "\nOutFormat=" + stored + "\n");
            QVERIFY2(settings.InFormat == expected && settings.OutFormat == expected, stored);
            QCOMPARE(settings.LastBrowse, preset_.LastBrowse);  // absent: kept
        }
        const std::pair<QString, bool> folders[] = {{QString(255, u'a'), true},
                                                    {QString(256, u'a'), false},
                                                    {QString(254, u'a') + QChar(0xE4), false}};
        for (const auto& [folder, kept] : folders) {
            QCOMPARE(loadedFrom("LastBrowse=" + folder.toUtf8() + "\n").LastBrowse,
                     kept ? folder.toStdString() : preset_.LastBrowse);
        }
    }

    void settingsSaveFailureShowsErrorBox() {
        // A plain file stands where the folder would have to be, which fails even for root.
        QFile blocker(folder_.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings store(folder_.filePath(QStringLiteral("not-a-folder/VelkMerge.ini")), QSettings::IniFormat);
        saveSettings(preset_, store, boxes_);
        QCOMPARE(boxes_.shown.size(), std::size_t{1});
        const std::string& shown = boxes_.shown[0];
        QVERIFY2(shown.starts_with("error: VELK Merge Program Error: Unable to save program settings (") &&
                     shown.ends_with(")"),
                 shown.c_str());
    }

    // A socket failure is told, and nothing else happens.
    void socketFailureEndsBeforeSettings() {
        QStringList failures;
        platform_.startSockets = [] { return false; };
        platform_.openSettings = [] {
            qFatal("settings opened after a socket failure");
            return std::unique_ptr<QSettings>();
        };
        platform_.showSocketFailure = [&failures](const QString& text) { failures << text; };
        QCOMPARE(MergeApp(platform_).run(), 1);
        QCOMPARE(failures, QStringList{QStringLiteral("Windows sockets initialization failed.")});
        QVERIFY(boxes_.shown.empty());
    }
};

QTEST_MAIN(MergeAppTest)
#include "MergeAppTest.moc"
