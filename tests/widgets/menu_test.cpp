// The menu commands and the button that starts the gamma adjustment program: the about
// message, ending the program, and the launches handed to the desktop, with stand-in
// programs in place of the real ones.
#include "formfixture.h"
#include "ui/controls.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <optional>

using namespace vantrel;

namespace {

// What the about dialog showed while it was open.
struct DialogSeen {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool okIsDefault = false;
    bool modal = false;
    bool closed = false;
    bool okClicked = false;
};

// Waits for the modal dialog, notes what it shows and dismisses it with the key, or with its
// close box when key is 0.
void answerDialog(DialogSeen& seen, int key, int triesLeft = 250) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        if (triesLeft > 0)
            QTimer::singleShot(20,
                               [&seen, key, triesLeft] { answerDialog(seen, key, triesLeft - 1); });
        return;
    }
    seen.found = true;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* b : box->buttons())
        seen.buttons << b->text().remove(QLatin1Char('&'));
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    auto* okPush = qobject_cast<QPushButton*>(ok);
    seen.okIsDefault = okPush && okPush->isDefault();
    seen.modal = box->isModal();
    if (key == 0) {
        box->close();
    } else {
        QWidget* target = box->focusWidget() ? box->focusWidget() : box;
        QTest::keyClick(target, Qt::Key(key));
    }
    seen.closed = !box->isVisible();
    seen.okClicked = ok && box->clickedButton() == ok;
    if (box->isVisible())
        box->done(0); // never leave the test hanging in the dialog
}

class CloseCounter : public QObject {
  public:
    int closes = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close)
            ++closes;
        return QObject::eventFilter(watched, event);
    }
};

// Stands in for the desktop's handler of web addresses.
class UrlRecorder : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> urls;

  public slots:
    void open(const QUrl& url) { urls << url; }
};

QSet<QWidget*> topLevels() {
    const QList<QWidget*> list = QApplication::topLevelWidgets();
    return QSet<QWidget*>(list.begin(), list.end());
}

// An executable shell script; it sets its own search path, as the tests empty the inherited one.
bool writeScript(const QString& path, const QByteArray& body) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\nPATH=/usr/bin:/bin\n" + body);
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList linesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class MenuTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TForm1> form;
    QString savedCwd;
    QByteArray savedPath;
    std::optional<QTemporaryDir> work; // current directory of launch tests
    std::optional<QTemporaryDir> bin;  // the only directory on the search path
    std::optional<QTemporaryDir> out;  // where stand-ins write what they saw

    // A launch test's surroundings: an empty current directory and an empty search path.
    bool isolate() {
        work.emplace();
        bin.emplace();
        out.emplace();
        if (!work->isValid() || !bin->isValid() || !out->isValid())
            return false;
        qputenv("PATH", QFile::encodeName(bin->path()));
        return QDir::setCurrent(work->path());
    }

    QList<int> settings() const {
        QList<int> values;
        for (TUpDown* u : {form->UpDown1, form->UpDown2, form->UpDown3, form->UpDown4,
                           form->UpDown5, form->UpDown6, form->UpDown7, form->UpDown8})
            values << u->position();
        values << form->CheckBox1->isChecked() << form->CheckBox2->isChecked()
               << form->CheckBox3->isChecked();
        return values;
    }

  private slots:
    void init() {
        savedCwd = QDir::currentPath();
        savedPath = qgetenv("PATH");
        form = testing::makeForm();
        QVERIFY(form);
    }
    void cleanup() {
        form.reset();
        Form1 = nullptr;
        QDir::setCurrent(savedCwd);
        qputenv("PATH", savedPath);
        work.reset();
        bin.reset();
        out.reset();
    }

    void aboutDialogCloses_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter presses the default button") << int(Qt::Key_Return);
        QTest::newRow("Esc presses the cancel button") << int(Qt::Key_Escape);
        QTest::newRow("the close box presses the cancel button") << 0;
    }
    void aboutDialogCloses() {
        QFETCH(int, key);
        DialogSeen seen;
        QTimer::singleShot(0, [&seen, key] { answerDialog(seen, key); });
        form->ueber1->trigger(); // returns once the dialog is closed

        QVERIFY(seen.found);
        QCOMPARE(seen.title, QStringLiteral("Information"));
        QCOMPARE(seen.text, QStringLiteral("Vantrel by Orlisk"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
        QVERIFY(seen.okIsDefault);
        QVERIFY(seen.modal);
        QVERIFY(seen.closed);
        QVERIFY(seen.okClicked);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(form->isVisible());
    }

    void endClosesTheWindow() {
        CloseCounter counter;
        form->installEventFilter(&counter);
        form->Beenden1->trigger();
        QCOMPARE(counter.closes, 1);
        QVERIFY(!form->isVisible()); // the close was accepted
        form->removeEventFilter(&counter);
    }

    void gammaToolMissingChangesNothing() {
        QVERIFY(isolate());
        testing::runFrames(*form);
        const QList<int> before = settings();
        const QSet<QWidget*> windowsBefore = topLevels();

        QTest::mouseClick(form->SpeedButton2, Qt::LeftButton);
        QTest::qWait(200); // room for anything that would show up late
        QCOMPARE(settings(), before);
        QCOMPARE(topLevels(), windowsBefore);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(form->isVisible());
        testing::runFrames(*form);
    }

    void gammaToolStartsOnEveryClick_data() {
        QTest::addColumn<bool>("onSearchPath"); // else in the current directory
        QTest::newRow("found in the current directory") << false;
        QTest::newRow("found on the search path") << true;
    }
    void gammaToolStartsOnEveryClick() {
        QFETCH(bool, onSearchPath);
        QVERIFY(isolate());
        const QString log = out->filePath(QStringLiteral("started"));
        const QString release = out->filePath(QStringLiteral("release"));
        const QString ended = out->filePath(QStringLiteral("ended"));
        // Stays running until released, so that the second click finds the first still there
        // and the click cannot have waited for it; gives up after 10 s should the test fail.
        const QByteArray body = "pwd >> '" + QFile::encodeName(log) + "'\n" +
                                "i=0\n"
                                "while [ ! -e '" +
                                QFile::encodeName(release) +
                                "' ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n" +
                                "echo x >> '" + QFile::encodeName(ended) + "'\n";
        const QDir home(onSearchPath ? bin->path() : work->path());
        QVERIFY(writeScript(home.filePath(QStringLiteral("mivu.exe")), body));

        QTest::mouseClick(form->SpeedButton2, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(log).size(), 1, 5000);
        QTest::mouseClick(form->SpeedButton2, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(log).size(), 2, 5000);
        QVERIFY(!QFile::exists(ended));
        // Started in the program's current directory.
        const QString cwd = QDir(work->path()).canonicalPath();
        for (const QString& line : linesOf(log))
            QCOMPARE(QDir(line).canonicalPath(), cwd);

        QFile touch(release);
        QVERIFY(touch.open(QIODevice::WriteOnly));
        touch.close();
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(ended).size(), 2, 5000);
        QVERIFY(form->isVisible());
    }

    void webLinkAsksTheDesktopForTheAddress() {
        UrlRecorder recorder;
        for (const char* scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
        form->WebLink1->trigger();
        form->WebLink1->trigger();
        for (const char* scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(recorder.urls.size(), 2); // every click asks afresh
        QCOMPARE(recorder.urls[0].host(), QStringLiteral("www.orlisk.example"));
        QVERIFY(form->isVisible());
    }

    void webLinkReachesTheDesktopHandler() {
        QVERIFY(isolate());
        const QString args = out->filePath(QStringLiteral("args"));
        QVERIFY(writeScript(bin->filePath(QStringLiteral("xdg-open")),
                            "echo \"$@\" >> '" + QFile::encodeName(args) + "'\n"));
        // Only the stand-in may answer, not a browser named in the environment.
        const QByteArray browser = qgetenv("BROWSER");
        const QByteArray defaultBrowser = qgetenv("DEFAULT_BROWSER");
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");
        qputenv("PATH", QFile::encodeName(bin->path()) + ":/usr/bin:/bin");
        const auto restoreBrowsers = qScopeGuard([&] {
            if (!browser.isNull())
                qputenv("BROWSER", browser);
            if (!defaultBrowser.isNull())
                qputenv("DEFAULT_BROWSER", defaultBrowser);
        });

        // Whether this platform passes addresses on at all, asked with an address of our own.
        if (!QDesktopServices::openUrl(QUrl(QStringLiteral("http://probe.invalid/"))))
            QSKIP("This platform plugin hands web addresses to no desktop handler; the "
                  "end-to-end test checks the launch on a real X server.");
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(args).size(), 1, 5000);

        form->WebLink1->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(args).size(), 2, 5000);
        const QString line = linesOf(args).at(1);
        QVERIFY2(line.contains(QStringLiteral("www.orlisk.example")), qPrintable(line));
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(MenuTest)
#include "menu_test.moc"
