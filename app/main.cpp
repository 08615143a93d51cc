// Program entry: the single-instance check, the main window, the main loop and the end.
// Exit code 0 on every path.
#include "app/singleinstance.h"
#include "app/startup.h"
#include "ui/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    using namespace vantrel;

    // Before any window exists: a second copy ends here, silently.
    InstanceLock InstanceMutex;
    if (InstanceMutex.acquire("Vantrel") == InstanceLock::Result::AlreadyRunning)
        return 0;

    // The drawing area presents through GLX, so on a Wayland desktop the program runs
    // through XWayland unless the user asked for a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(Application::titleFromProgramPath(
        argc > 0 ? QString::fromLocal8Bit(argv[0]) : QStringLiteral("vantrel")));
    // Lets desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orlisk.Vantrel"));

    Form1 = new TForm1;
    if (!Application::Terminated()) {
        Form1->show();
        QApplication::exec();
    }
    delete Form1; // the drawing area finalises and stops the timer
    Form1 = nullptr;
    InstanceMutex.close();
    return 0;
}
