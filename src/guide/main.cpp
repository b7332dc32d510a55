#include <QApplication>
#include <cstdio>

#include "guide/GuidePdf.h"
#include "guide/GuideScreens.h"
#include "guide/ShopSample.h"
#include "ui/HelpPages.h"

// Writes the program's PDF guide, "Guida.pdf", to the path given: the help pages' texts with
// screenshots of the main screens, taken from the real program run in a throw-away folder. The
// build runs it offscreen; it needs no display.
int main(int argc, char* argv[]) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "uso: %s <file PDF da scrivere> [resoconto dell'impaginazione]\n", argv[0]);
        return 2;
    }
    // Points become pixels at 96 per inch whatever the screen says, so every build lays out alike.
    QApplication::setAttribute(Qt::AA_Use96Dpi);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Scortavia"));
    const QString output = QString::fromLocal8Bit(argv[1]);

    QStringList problems;
    std::vector<scortavia::guide::Figure> figures;
    scortavia::guide::inShopSample(problems, [&](const std::filesystem::path& folder) {
        figures = scortavia::guide::grabMainScreens(folder, problems);
    });
    // A guide without some screenshot is still a guide: the build says so and goes on.
    for (const QString& problem : problems) {
        std::fprintf(stderr, "scortavia_guide: attenzione: %s\n", qUtf8Printable(problem));
    }

    QString problem;
    const QString report = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!scortavia::guide::writeGuidePdf(output, scortavia::helpPages(), figures, problem, report)) {
        std::fprintf(stderr, "scortavia_guide: %s: %s\n", qUtf8Printable(output), qUtf8Printable(problem));
        return 1;
    }
    return 0;
}
