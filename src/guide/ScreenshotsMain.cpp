#include <QApplication>
#include <QDir>
#include <cstdio>

#include "guide/GuideScreens.h"
#include "guide/ShopSample.h"

// Writes the screenshots the desktop's software centres show (menu.png, magazzino.png, etichette.png)
// into the folder given: the real program, run offscreen on the guide's sample shop in a throw-away folder.
int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s <cartella delle schermate>\n", argv[0]);
        return 2;
    }
    QApplication::setAttribute(Qt::AA_Use96Dpi);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Scortavia"));
    const QDir output(QString::fromLocal8Bit(argv[1]));

    QStringList problems;
    std::vector<scortavia::guide::Screenshot> shots;
    scortavia::guide::inShopSample(problems, [&](const std::filesystem::path& folder) {
        shots = scortavia::guide::grabStoreScreenshots(folder, problems);
    });
    for (const QString& problem : problems) {
        std::fprintf(stderr, "scortavia_screenshots: attenzione: %s\n", qUtf8Printable(problem));
    }
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "scortavia_screenshots: %s: cartella non creata\n", qUtf8Printable(output.path()));
        return 1;
    }
    for (const scortavia::guide::Screenshot& shot : shots) {
        const QString file = output.filePath(shot.name + QStringLiteral(".png"));
        if (!shot.picture.save(file, "PNG")) {
            std::fprintf(stderr, "scortavia_screenshots: %s: non scritto\n", qUtf8Printable(file));
            return 1;
        }
    }
    // Each screenshot is named in the desktop metadata: one missing is a failed build, not a broken listing.
    return shots.size() == 3 ? 0 : 1;
}
