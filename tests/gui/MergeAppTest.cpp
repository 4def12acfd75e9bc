// Start-up and end of the desktop program, and the About box.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/AboutDialog.h"
#include "app/MergeApp.h"
#include "app/MergeWindow.h"
#include "support/ScriptedMessageBoxes.h"

namespace {

// Hands the first modal window that opens to `look`, from inside its modal loop, then closes it.
void whenModalOpens(const std::function<void(QWidget*)>& look) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, look] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            look(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        }
    });
    poll->start(10);
}

}  // namespace

class MergeAppTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;

  private slots:
    void socketFailureEndsBeforeSettings() {
        int opened = 0;
        QStringList failureBoxes;
        ScriptedMessageBoxes boxes;
        MergeAppPlatform platform;
        platform.startSockets = [] { return false; };
        platform.openSettings = [&opened] {
            ++opened;
            return std::unique_ptr<QSettings>();
        };
        platform.showSocketFailure = [&failureBoxes](const QString& text) { failureBoxes << text; };
        platform.settingsBoxes = &boxes;
        platform.windowBoxes = &boxes;

        QCOMPARE(MergeApp(platform).run(), 1);
        QCOMPARE(failureBoxes, QStringList{QStringLiteral("Windows sockets initialization failed.")});
        QCOMPARE(opened, 0);
        QVERIFY(boxes.shown.empty());
    }

    void socketFailureBoxLooksRight() {
        QApplication::setApplicationName(QStringLiteral("VelkMerge"));
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenModalOpens([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                caption = box->windowTitle();
                text = box->text();
                icon = box->icon();
            }
        });
        showSocketFailureBox(QStringLiteral("Windows sockets initialization failed."));
        QCOMPARE(caption, QStringLiteral("VelkMerge"));
        QCOMPARE(text, QStringLiteral("Windows sockets initialization failed."));
        QCOMPARE(icon, QMessageBox::Warning);
    }

    void exitRightAfterStartSavesWhatWasLoaded() {
        const QString path = folder_.filePath(QStringLiteral("exit.ini"));
        {
            QSettings seed(path, QSettings::IniFormat);
            seed.setValue("3.0/OutFormat", 3);
            seed.setValue("3.0/InFormat", 65538);  // loads as 2
            seed.setValue("3.0/LastBrowse", QStringLiteral("/home/op/lists"));
        }
        ScriptedMessageBoxes boxes;
        MergeAppPlatform platform;
        platform.openSettings = [&path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); };
        platform.settingsBoxes = &boxes;
        platform.windowBoxes = &boxes;
        int layoutShown = -1;
        whenModalOpens([&layoutShown](QWidget* modal) {
            if (auto* window = qobject_cast<MergeWindow*>(modal)) {
                layoutShown = window->dialog().inputLayout;
            }
        });

        QCOMPARE(MergeApp(platform).run(), 0);
        QCOMPARE(layoutShown, 2);
        QVERIFY(boxes.shown.empty());
        QSettings saved(path, QSettings::IniFormat);
        QCOMPARE(saved.value("3.0/OutFormat").toString(), QStringLiteral("3"));
        QCOMPARE(saved.value("3.0/InFormat").toString(), QStringLiteral("2"));
        QCOMPARE(saved.value("3.0/LastBrowse").toString(), QStringLiteral("/home/op/lists"));
    }

    void aboutBox() {
        AboutDialog about(nullptr);
        QCOMPARE(about.windowTitle(), QStringLiteral("About VelkMerge"));
        auto* version = about.findChild<QLabel*>(QStringLiteral("version"));
        QVERIFY(version != nullptr);
        QCOMPARE(version->text(), QStringLiteral("VelkMerge Version 2.0"));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("ok"));
        QVERIFY(ok != nullptr);
        QVERIFY(ok->isDefault());
        about.show();
        ok->click();
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(MergeAppTest)
#include "MergeAppTest.moc"
