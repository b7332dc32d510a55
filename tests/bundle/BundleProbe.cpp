// Preloaded into the program by the bundle check (LD_PRELOAD): it walks the real program as a user would
// and writes what it met to the file named by SCORTAVIA_PROBE_OUT. It links nothing of the program and
// only Qt's widgets, so every Qt library it needs is the one the program itself loads.
//   SCORTAVIA_PROBE_MODE=start: stops as soon as the password screen is on show.
//   SCORTAVIA_PROBE_MODE=guide: logs in with the fresh password, opens the help window from the main
//   menu and presses its link to the PDF guide; the guide's address is written, then the program ends.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

class Probe final : public QObject {
    Q_OBJECT
public:
    Probe()
        : out_(qEnvironmentVariable("SCORTAVIA_PROBE_OUT")),
          guide_(qEnvironmentVariable("SCORTAVIA_PROBE_MODE") == QLatin1String("guide")) {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, &Probe::look);
        timer_.start();
    }

public Q_SLOTS:
    // Where the help window's link sends the desktop.
    void openFile(const QUrl& url) {
        write(QStringLiteral("guide ") + url.toLocalFile());
        QCoreApplication::exit(0);
    }

private:
    static QWidget* shown(const QString& name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) return w;
        return nullptr;
    }

    void look() {
        if (step_ == 0) {
            QWidget* password = shown(QStringLiteral("frmPassword"));
            if (!password) return;
            write(QStringLiteral("password"));
            if (!guide_) {
                QCoreApplication::exit(0);
                return;
            }
            password->findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral("scortavia"));
            password->findChild<QAbstractButton*>(QStringLiteral("cmdOK"))->click();
            step_ = 1;
        } else if (step_ == 1) {
            QWidget* menu = shown(QStringLiteral("frmAvvio"));
            if (!menu) return;
            write(QStringLiteral("menu"));
            step_ = 2;
            // The help window is modal: the click returns when it closes, so it comes from the event loop.
            QTimer::singleShot(0, menu->findChild<QAbstractButton*>(QStringLiteral("imgGuida")),
                               &QAbstractButton::click);
        } else if (step_ == 2) {
            QWidget* help = QApplication::activeModalWidget();
            if (!help || help->objectName() != QLatin1String("frmGuida")) return;
            step_ = 3;
            QMetaObject::invokeMethod(help->findChild<QObject*>(QStringLiteral("lnkWeb")), "clicked");
        }
    }

    void write(const QString& line) {
        QFile file(out_);
        if (file.open(QIODevice::Append | QIODevice::Text)) file.write((line + QLatin1Char('\n')).toUtf8());
    }

    QString out_;
    bool guide_;
    int step_ = 0;
    QTimer timer_;
};

void startProbe() { new Probe(); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(startProbe)

#include "BundleProbe.moc"
