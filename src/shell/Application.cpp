#include "shell/Application.h"

#include <QApplication>
#include <QLocale>
#include <QStyleFactory>

#include "shell/TfrmAvvio.h"
#include "shell/TfrmCambiaPassword.h"
#include "shell/TfrmPassword.h"
#include "products/TfrmMagazzino.h"

namespace scortavia {

Application::Application(std::filesystem::path programFolder) : registry_(std::move(programFolder)) {
    // Creation order matters to nobody but is kept stable: the password screen first.
    registry_.add(new TfrmPassword(registry_));
    registry_.add(new TfrmAvvio(registry_));
    registry_.add(new TfrmCambiaPassword(registry_));
    registry_.add(new TfrmMagazzino(registry_));
}

void Application::start() { registry_.screen(QStringLiteral("frmPassword"))->present(); }

void Application::applyLook() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(0xF3, 0xF5, 0xF6));
    palette.setColor(QPalette::Highlight, QColor(0x16, 0x7A, 0x80));
    palette.setColor(QPalette::Button, QColor(0xFA, 0xFB, 0xFB));
    QApplication::setPalette(palette);
    qApp->setStyleSheet(QStringLiteral(
        "QPushButton { padding: 4px 16px; border: 1px solid #9FB5BB; border-radius: 5px; background: #FAFBFB; }"
        "QPushButton:hover { background: #E6F0F1; border-color: #167A80; }"
        "QPushButton:pressed { background: #D3E5E7; }"
        "QPushButton:disabled { color: #9AA7AC; border-color: #D0D9DC; }"
        "QLineEdit { padding: 3px 6px; border: 1px solid #9FB5BB; border-radius: 4px; background: white; }"
        "QLineEdit:focus { border-color: #167A80; }"
        "QLineEdit:read-only { background: #F3F5F6; }"));
}

}  // namespace scortavia
