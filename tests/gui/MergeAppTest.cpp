// Start-up and end of the desktop program, and the About box.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "gui/main/AboutDialog.h"
#include "gui/main/MergeApp.h"
#include "gui/main/MergeWindow.h"
#include "support/ScriptedMessageBoxes.h"

namespace {

// Hands the first modal dialog that opens to `look`, from inside its modal loop, then rejects it.
// Looks at the next modal window and closes it; gives up after five seconds so that a window that
// never opens fails the test instead of hanging it.
void whenModalOpens(const std::function<void(QWidget*)>& look) {
    auto* poll = new QTimer(qApp);
    const auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, look, elapsed] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            look(modal);
            modal->reject();
        } else if (elapsed->elapsed() < 5000) {
            return;
        } else {
            QTest::qFail("no modal window opened", __FILE__, __LINE__);
            for (QWidget* window : QApplication::topLevelWidgets()) {
                window->close();
            }
        }
        poll->deleteLater();
    });
    poll->start(10);
}

}  // namespace

class MergeAppTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    ScriptedMessageBoxes boxes_;
    MergeAppPlatform platform_;

  private slots:
    void init() {
        boxes_.shown.clear();
        platform_ = MergeAppPlatform{};
        platform_.settingsBoxes = &boxes_;
        platform_.windowBoxes = &boxes_;
    }

    // The failure box is a warning under the program's name, and nothing else happens.
    void socketFailureEndsBeforeSettings() {
        QStringList failureBoxes;
        platform_.startSockets = [] { return false; };
        platform_.openSettings = [] {
            qFatal("settings opened after a socket failure");
            return std::unique_ptr<QSettings>();
        };
        platform_.showSocketFailure = [&failureBoxes](const QString& text) { failureBoxes << text; };
        QCOMPARE(MergeApp(platform_).run(), 1);
        QCOMPARE(failureBoxes, QStringList{QStringLiteral("Windows sockets initialization failed.")});
        QVERIFY(boxes_.shown.empty());

        QApplication::setApplicationName(QStringLiteral("VelkMerge"));
        QStringList shown;
        whenModalOpens([&shown](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            shown << box->windowTitle() << box->text() << QString::number(box->icon());
        });
        showSocketFailureBox(failureBoxes.front());
        QCOMPARE(shown,
                 QStringList({"VelkMerge", failureBoxes.front(), QString::number(QMessageBox::Warning)}));
    }

    void exitRightAfterStartSavesWhatWasLoaded() {
        const QString path = folder_.filePath(QStringLiteral("exit.ini"));
        {
            QSettings seed(path, QSettings::IniFormat);
            seed.setValue("3.0/OutFormat", 3);
            seed.setValue("3.0/InFormat", 65538);  // loads as 2
            seed.setValue("3.0/LastBrowse", QStringLiteral("/home/op/lists"));
        }
        platform_.openSettings = [&path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); };
        int layoutShown = -1;
        whenModalOpens([&layoutShown](QWidget* modal) {
            layoutShown = qobject_cast<MergeWindow*>(modal)->dialog().inputLayout;
        });

        QCOMPARE(MergeApp(platform_).run(), 0);
        QCOMPARE(layoutShown, 2);
        QVERIFY(boxes_.shown.empty());
        QSettings saved(path, QSettings::IniFormat);
        QCOMPARE(saved.value("3.0/OutFormat").toString(), QStringLiteral("3"));
        QCOMPARE(saved.value("3.0/InFormat").toString(), QStringLiteral("2"));
        QCOMPARE(saved.value("3.0/LastBrowse").toString(), QStringLiteral("/home/op/lists"));
    }

    void aboutBox() {
        AboutDialog about(nullptr);
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("version"))->text(),
                 QStringLiteral("VelkMerge Version 2.0"));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("ok"));
        QVERIFY(ok->isDefault());
        about.show();
        ok->click();
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(MergeAppTest)
#include "MergeAppTest.moc"
