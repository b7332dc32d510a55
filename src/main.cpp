#include <QApplication>
#include <filesystem>

#include "shell/Application.h"
#include "shell/DesktopLauncher.h"

int main(int, char* argv[]) {
    // The program takes no arguments: Qt is given only the program name.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Scortavia"));
    scortavia::Application::applyLook();
    // Everything the program keeps lives beside the executable.
    const std::filesystem::path programFolder(QCoreApplication::applicationDirPath().toStdString());
    // The windows say which launcher started them, so that the desktop shows this folder's icon and name.
    QGuiApplication::setDesktopFileName(QString::fromStdString(scortavia::launcherId(programFolder)));
    scortavia::Application program(programFolder);
    if (!program.start()) {
        program.finish();
        return 0;
    }
    const int code = QApplication::exec();
    program.finish();
    return code;
}
