// Menu commands and the launch of the gamma adjustment program.
#include "ui/mainwindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vantrel {

void TForm1::Beenden1Click(QObject*) {
    Form1->close();
}

void TForm1::ueber1Click(QObject*) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"),
                    QStringLiteral("Vantrel by Orlisk"), QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

void TForm1::WebLink1Click(QObject*) {
    // The caption is a bare host name; the desktop's default handler opens it. Whatever
    // becomes of the request is the desktop's matter: nothing is waited for or reported.
    QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromLatin1(WebAddress)));
}

void TForm1::SpeedButton2Click(QObject*) {
    // Looked up by bare name, first in the current directory, then on the search path;
    // started directly (no shell), detached, and never waited for.
    const QString name = QStringLiteral("mivu.exe");
    QString program;
    const QFileInfo local(QDir::current().filePath(name));
    if (local.isFile() && local.isExecutable())
        program = local.absoluteFilePath();
    else
        program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return;
    QProcess::startDetached(program, {}, QDir::currentPath());
}

} // namespace vantrel
