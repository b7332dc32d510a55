#include <QApplication>
#include <filesystem>

#include "shell/Application.h"

int main(int, char* argv[]) {
    // The program takes no arguments: Qt is given only the program name.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Scortavia"));
    scortavia::Application::applyLook();
    // Everything the program keeps lives beside the executable.
    scortavia::Application program(std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
    program.start();
    const int code = QApplication::exec();
    program.finish();
    return code;
}
