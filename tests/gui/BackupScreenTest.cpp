// The backup window reached from the main menu, and the backups made at the end of a run.
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backups/BackupArchive.h"
#include "backups/BackupProgressWindow.h"
#include "backups/BackupSchedule.h"
#include "backups/BackupSettings.h"
#include "backups/FolderLock.h"
#include "backups/TfrmCopie.h"
#include "support/GuiProgram.h"
#include "support/Processes.h"

using namespace scortavia;
namespace fs = std::filesystem;

namespace {

// The files of `folder` whose names start with `prefix` (hidden ones too), by name.
std::vector<std::string> filesIn(const fs::path& folder, const std::string& prefix = {}) {
    std::vector<std::string> names;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(folder, missing)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> automaticCopiesIn(const fs::path& folder) {
    std::vector<std::string> automatic;
    for (const std::string& name : filesIn(folder, "Scortavia_")) {
        const auto parsed = parseBackupFileName(name);
        if (parsed && parsed->kind == BackupKind::Automatic) automatic.push_back(name);
    }
    return automatic;
}

// `days` before today, at noon.
LocalMinute daysAgo(int days) {
    const auto day = std::chrono::sys_days(localNow().day) - std::chrono::days(days);
    return LocalMinute{std::chrono::year_month_day(day), 12, 0, 0};
}

QString setting(const fs::path& programFolder, std::string_view key) {
    return toQString(readBackupSetting(programFolder, key));
}

// Stands in for the progress window: records the texts of the jobs and stops one at a chosen step.
class ProgressRecorder final {
public:
    ProgressRecorder() {
        BackupProgressWindow::setHookForTesting([this](const QString& text, std::uint64_t, std::uint64_t) {
            if (texts.isEmpty() || texts.back() != text) texts << text;
            return ++steps != stopAtStep;
        });
    }
    ~ProgressRecorder() { BackupProgressWindow::setHookForTesting({}); }
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;

    QStringList texts;
    int steps = 0;
    int stopAtStep = 0;  // 0: never
};

enum class FolderChoice { Outside, ProgramFolder, InsideProgram, NoSettingsFile, Cancelled };

}  // namespace

Q_DECLARE_METATYPE(FolderChoice)

class BackupScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolder> copies;  // where the backups go: beside the program folder, not in it
    std::unique_ptr<ProgressRecorder> progress;
    std::unique_ptr<test::GuiProgram> run;

    fs::path programFolder() const { return run->folder.path(); }

    // A program with a small shop (two products, one goods-in movement), logged in on the main menu; the
    // backup folder chosen unless told.
    void startShop(bool folderChosen = true) {
        run = std::make_unique<test::GuiProgram>();
        run->writeProducts({test::product("C1", "Vite"), test::product("C2", "Dado")});
        run->writeMovements("2024", Direction::GoodsIn, {test::movement("Rossi", "C1")});
        if (folderChosen) QVERIFY(writeBackupSetting(programFolder(), kBackupFolderKey, copies->path().string()));
        run->login(QStringLiteral("scortavia"));
        QVERIFY(run->menu()->isVisible());
    }

    // The same program folder opened again, as a new run of the program, up to the main menu.
    void startAgain() {
        run->program.reset();
        run->program = std::make_unique<Application>(programFolder());
        run->program->registry().setEndProgramHandler([this] { ++run->ended; });
        run->program->start();
        run->login(QStringLiteral("scortavia"));
        QVERIFY(run->menu()->isVisible());
    }

    // The backup window opened from its icon, driven by `steps`; false when it did not come up.
    bool withWindow(const std::function<void(TfrmCopie*)>& steps) {
        return test::withModal<TfrmCopie>(run->menu()->imgCopie, steps);
    }

    // A backup of the program folder made as the window makes one, named for `when`.
    fs::path backupAt(const LocalMinute& when, BackupKind kind = BackupKind::Manual) {
        const fs::path file = copies->path() / backupFileName(kind, when);
        const Result<BackupInfo> made = createBackup(programFolder(), file, kind, manifestTime(when));
        return made ? file : fs::path();
    }

    static int rowOf(TfrmCopie* window, const fs::path& file) {
        for (std::size_t i = 0; i < window->rows().size(); ++i) {
            if (window->rows()[i].file == file) return static_cast<int>(i);
        }
        return -1;
    }

private Q_SLOTS:
    void init() {
        copies = std::make_unique<test::TempFolder>();
        progress = std::make_unique<ProgressRecorder>();
    }
    void cleanup() {
        run.reset();
        progress.reset();
        copies.reset();
    }

    // The icon beside the help opens the window; before a folder is chosen nothing can be made or restored.
    void theIconOpensTheWindowWhichAsksForAFolderFirst() {
        startShop(false);
        QCOMPARE(run->menu()->imgCopie->toolTip(), QStringLiteral("Copie di sicurezza dei dati"));
        QVERIFY(withWindow([this](TfrmCopie* window) {
            QCOMPARE(window->objectName(), QStringLiteral("frmCopie"));
            QCOMPARE(window->windowTitle(), QStringLiteral(" Copie di sicurezza"));
            QCOMPARE(window->parentWidget(), static_cast<QWidget*>(run->menu()));
            QCOMPARE(window->lstCopie->rowCount(), 0);
            QVERIFY(window->lblStato->text().contains(QStringLiteral("Scegli prima la cartella")));
            QVERIFY(!window->btnCrea->isEnabled());
            QVERIFY(!window->btnRipristina->isEnabled());
            QVERIFY(!window->btnVerifica->isEnabled());
            QVERIFY(!window->btnAnnullaRipristino->isEnabled());
            QVERIFY(window->btnCartella->isEnabled());
        }));
        QVERIFY(run->messages.shown.empty());
    }

    // clang-format off
    void aFolderIsRememberedOnlyOutsideTheProgramFolder_data() {
        QTest::addColumn<FolderChoice>("choice");
        QTest::addColumn<int>("message");  // the kind of message shown, -1 for none
        QTest::addColumn<bool>("remembered");
        QTest::newRow("fuori") << FolderChoice::Outside << -1 << true;
        QTest::newRow("la cartella del programma") << FolderChoice::ProgramFolder << int(MessageKind::Warning) << false;
        QTest::newRow("dentro il programma") << FolderChoice::InsideProgram << int(MessageKind::Warning) << false;
        QTest::newRow("senza impostazioni") << FolderChoice::NoSettingsFile << int(MessageKind::Error) << false;
        QTest::newRow("annullata") << FolderChoice::Cancelled << -1 << false;
    }
    // clang-format on
    void aFolderIsRememberedOnlyOutsideTheProgramFolder() {
        QFETCH(FolderChoice, choice);
        QFETCH(int, message);
        QFETCH(bool, remembered);
        startShop(false);
        fs::path picked = copies->path();
        if (choice == FolderChoice::ProgramFolder) picked = programFolder();
        if (choice == FolderChoice::InsideProgram) picked = programFolder() / "Copie";
        if (choice == FolderChoice::NoSettingsFile) fs::remove(run->folder.file("unins000.dll"));
        fs::create_directories(picked);
        if (choice == FolderChoice::Cancelled) {
            run->files.answers.push_back(std::nullopt);
        } else {
            run->files.answers.push_back(QString::fromStdString(picked.string()));
        }
        QVERIFY(withWindow([&](TfrmCopie* window) {
            test::click(window->btnCartella);
            QCOMPARE(window->txtCartella->text().isEmpty(), !remembered);
            QCOMPARE(window->btnCrea->isEnabled(), remembered);
        }));
        QCOMPARE(run->files.requests.size(), std::size_t{1});
        QCOMPARE(run->files.requests[0].kind, FileRequest::Kind::Folder);
        QCOMPARE(setting(programFolder(), kBackupFolderKey),
                 remembered ? QString::fromStdString(copies->path().string()) : QString());
        QCOMPARE(run->messages.shown.size(), std::size_t(message < 0 ? 0 : 1));
        if (message >= 0) QCOMPARE(int(run->messages.shown[0].kind), message);
        if (choice == FolderChoice::InsideProgram) {
            QCOMPARE(run->messages.texts(),
                     QStringList{"La cartella delle copie deve stare fuori dalla cartella del programma, per esempio "
                                 "su una chiavetta USB o in una cartella di rete."});
        }
    }

    // "Crea copia adesso" makes a backup that the list shows at once, with what it holds.
    void createMakesAListedBackup() {
        startShop();
        QVERIFY(withWindow([&](TfrmCopie* window) {
            QVERIFY(window->btnCrea->isEnabled());
            QVERIFY(window->lblStato->text().contains(QStringLiteral("nessuna copia")));
            test::click(window->btnCrea);
            QCOMPARE(window->lstCopie->rowCount(), 1);
            QCOMPARE(window->lstCopie->item(0, 1)->text(), QStringLiteral("manuale"));
            QCOMPARE(window->lstCopie->item(0, 3)->text(), QStringLiteral("2"));
            QCOMPARE(window->lstCopie->item(0, 4)->text(), QStringLiteral("1"));
            QCOMPARE(window->lstCopie->item(0, 5)->text(), QStringLiteral("0"));
            QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$"))
                        .match(window->lstCopie->item(0, 0)->text())
                        .hasMatch());
            QVERIFY(window->lstCopie->item(0, 0)->isSelected());  // the new copy, ready to be checked
            QVERIFY(window->btnVerifica->isEnabled());
            QCOMPARE(window->lblStato->text(), QStringLiteral("1 copia nella cartella."));
        }));
        const std::vector<std::string> made = filesIn(copies->path());
        QCOMPARE(made.size(), std::size_t{1});
        QVERIFY(parseBackupFileName(made[0]));
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
        QVERIFY(run->messages.shown[0].text.contains(QString::fromStdString(made[0])));
        QCOMPARE(progress->texts, QStringList{"Copia dei dati in corso…"});
    }

    // A copy stopped with "Annulla" leaves no file, not even a hidden part of one, and nothing is said.
    void cancellingLeavesNoFile_data() {
        QTest::addColumn<int>("stopAtStep");
        QTest::newRow("al primo passo") << 1;
        QTest::newRow("al secondo passo") << 2;
    }
    void cancellingLeavesNoFile() {
        QFETCH(int, stopAtStep);
        startShop();
        progress->stopAtStep = stopAtStep;
        QVERIFY(withWindow([&](TfrmCopie* window) {
            test::click(window->btnCrea);
            QCOMPARE(window->lstCopie->rowCount(), 0);
        }));
        QVERIFY2(progress->steps >= stopAtStep, "the job stopped at the chosen step");
        QCOMPARE(filesIn(copies->path()), std::vector<std::string>{});
        QVERIFY(run->messages.shown.empty());
    }

    // A backup that cannot be read stays in the list, saying so.
    void anUnreadableBackupIsListed() {
        startShop();
        const fs::path good = backupAt(daysAgo(1));
        QVERIFY(!good.empty());
        test::writeBytes(copies->path() / backupFileName(BackupKind::Manual, daysAgo(2)), "non sono uno zip");
        QVERIFY(withWindow([&](TfrmCopie* window) {
            QCOMPARE(window->lstCopie->rowCount(), 2);
            QCOMPARE(window->rows()[0].file, good);  // newest first
            QVERIFY(window->rows()[0].problem.empty());
            QVERIFY(!window->rows()[1].problem.empty());
            QCOMPARE(window->lstCopie->item(1, 3)->text(), toQString(window->rows()[1].problem));
            QCOMPARE(window->lstCopie->columnSpan(1, 3), 3);
            QCOMPARE(window->lstCopie->item(1, 1)->text(), QStringLiteral("manuale"));
        }));
    }

    // "Verifica" reads the chosen copy whole: a good one is told whole, one with a byte changed is refused.
    void verifyTellsAGoodCopyFromADamagedOne_data() {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("integra") << false;
        QTest::newRow("un byte cambiato") << true;
    }
    void verifyTellsAGoodCopyFromADamagedOne() {
        QFETCH(bool, damaged);
        startShop();
        const fs::path good = backupAt(LocalMinute{std::chrono::year(2026) / 12 / 10, 15, 30, 12});
        QVERIFY(!good.empty());
        fs::path chosen = good;
        if (damaged) {
            chosen = copies->path() / backupFileName(BackupKind::Manual, daysAgo(400));
            std::string bytes = test::readBytes(good);
            bytes[bytes.size() / 3] = static_cast<char>(bytes[bytes.size() / 3] ^ 0x40);
            test::writeBytes(chosen, bytes);
        }
        QVERIFY(withWindow([&](TfrmCopie* window) {
            const int row = rowOf(window, chosen);
            QVERIFY(row >= 0);
            window->lstCopie->selectRow(row);
            QVERIFY(window->btnVerifica->isEnabled());
            test::click(window->btnVerifica);
        }));
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        const ShownMessage& told = run->messages.shown[0];
        if (damaged) {
            QCOMPARE(told.kind, MessageKind::Error);
            QVERIFY2(told.text.startsWith(QStringLiteral("La copia di sicurezza")), qPrintable(told.text));
        } else {
            QCOMPARE(told.kind, MessageKind::Information);
            QVERIFY2(QRegularExpression(
                         QStringLiteral("^La copia del 10/12/2026 15:30 è integra: \\d+ file controllati\\.$"))
                         .match(told.text)
                         .hasMatch(),
                     qPrintable(told.text));
        }
    }

    // A restore brings back the data of the chosen copy, keeps the copy that undoes it, and ends the
    // program; "Annulla ultimo ripristino" then brings back the data as they were before.
    void restoreBringsBackTheChosenCopyAndCanBeUndone() {
        startShop();
        const fs::path chosen = backupAt(daysAgo(3));
        QVERIFY(!chosen.empty());
        run->writeProducts({test::product("C1", "Vite cambiata"), test::product("C2", "Dado")});
        QVERIFY(withWindow([&](TfrmCopie* window) {
            QVERIFY(!window->btnAnnullaRipristino->isEnabled());
            window->lstCopie->selectRow(rowOf(window, chosen));
            test::click(window->btnRipristina);
        }));
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Nome), std::string("Vite"));
        QCOMPARE(run->ended, 1);
        QCOMPARE(run->messages.shown.size(), std::size_t{2});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Question);
        QVERIFY(run->messages.shown[0].text.contains(toQString(backupTimeText(daysAgo(3)))));
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Information);
        QVERIFY(run->messages.shown[1].text.startsWith(QStringLiteral("Ripristino completato.")));
        const QString undo = setting(programFolder(), kLastRestoreKey);
        const auto undoName = parseBackupFileName(undo.toStdString());
        QVERIFY(undoName && undoName->kind == BackupKind::BeforeRestore);
        QVERIFY(fs::exists(copies->path() / undo.toStdString()));
        // The restored settings file is the backup's: it is told again where the backups are.
        QCOMPARE(setting(programFolder(), kBackupFolderKey), QString::fromStdString(copies->path().string()));

        run->messages.shown.clear();
        QVERIFY(withWindow([&](TfrmCopie* window) {
            QVERIFY(window->btnAnnullaRipristino->isEnabled());
            test::click(window->btnAnnullaRipristino);
        }));
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Nome), std::string("Vite cambiata"));
        QCOMPARE(run->ended, 2);
        QCOMPARE(run->messages.shown.size(), std::size_t{2});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Question);
        QVERIFY(run->messages.shown[1].text.startsWith(QStringLiteral("Ripristino completato.")));
    }

    // A damaged copy is refused with the reason, nothing changes, and the folder is shared again: another
    // copy of the program can start on it.
    void aDamagedCopyIsRefusedAndTheFolderSharedAgain() {
        startShop();
        const fs::path good = backupAt(daysAgo(3));
        QVERIFY(!good.empty());
        std::string bytes = test::readBytes(good);
        bytes[bytes.size() / 3] = static_cast<char>(bytes[bytes.size() / 3] ^ 0x40);
        const fs::path damaged = copies->path() / backupFileName(BackupKind::Manual, daysAgo(2));
        test::writeBytes(damaged, bytes);
        run->writeProducts({test::product("C1", "Vite cambiata")});
        QVERIFY(withWindow([&](TfrmCopie* window) {
            window->lstCopie->selectRow(rowOf(window, damaged));
            test::click(window->btnRipristina);
        }));
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Nome), std::string("Vite cambiata"));
        QCOMPARE(run->ended, 0);
        QCOMPARE(run->messages.shown.size(), std::size_t{2});
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Error);
        QVERIFY2(run->messages.shown[1].text.startsWith(QStringLiteral("La copia di sicurezza")),
                 qPrintable(run->messages.shown[1].text));
        QCOMPARE(setting(programFolder(), kLastRestoreKey), QString());
        const fs::path folder = programFolder();
        test::Child other([&] { return FolderLock::hold(folder, false) ? 0 : 1; });
        QVERIFY2(test::eventually([&] { return other.ended(); }, std::chrono::seconds(10)),
                 "the other copy waits: the folder is still held alone");
        QCOMPARE(other.wait(), 0);
    }

    // The window itself, not a test's stand-in: nothing for a quick job; after a second it shows, and
    // "Annulla" stops the job at its next step.
    void theProgressWindowComesAfterASecondAndAnnullaStops() {
        progress.reset();
        QWidget owner;
        owner.show();
        BackupProgressWindow window(&owner, QStringLiteral("Copia dei dati in corso…"));
        const BackupProgress step = window.callback();
        QVERIFY(step(1, 1000));
        auto* dialog = owner.findChild<QProgressDialog*>(QStringLiteral("frmAvanzamento"));
        QVERIFY(dialog);
        QVERIFY(!dialog->isVisible());
        QTest::qSleep(1100);
        QVERIFY(step(2, 1000));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->labelText(), QStringLiteral("Copia dei dati in corso…"));
        auto* annulla = dialog->findChild<QPushButton*>();
        QVERIFY(annulla);
        QCOMPARE(annulla->text(), QStringLiteral("Annulla"));
        test::click(annulla);
        QVERIFY(!step(3, 1000));
        QVERIFY(window.cancelled());
    }

    // Saying no to the question changes nothing.
    void aRestoreNotConfirmedChangesNothing() {
        startShop();
        const fs::path chosen = backupAt(daysAgo(3));
        run->writeProducts({test::product("C1", "Vite cambiata")});
        run->messages.answers.push_back(QMessageBox::No);
        QVERIFY(withWindow([&](TfrmCopie* window) {
            window->lstCopie->selectRow(rowOf(window, chosen));
            test::click(window->btnRipristina);
        }));
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Nome), std::string("Vite cambiata"));
        QCOMPARE(run->ended, 0);
        QCOMPARE(filesIn(copies->path()).size(), std::size_t{1});
    }

    // Without a row chosen, the copy is asked for with the file dialog, in the backup folder.
    void withoutARowTheCopyIsAskedFor() {
        startShop();
        const fs::path chosen = backupAt(daysAgo(3));
        run->writeProducts({test::product("C1", "Vite cambiata")});
        run->files.answers.push_back(QString::fromStdString(chosen.string()));
        QVERIFY(withWindow([&](TfrmCopie* window) {
            window->lstCopie->clearSelection();
            test::click(window->btnRipristina);
        }));
        QCOMPARE(run->files.requests.size(), std::size_t{1});
        QCOMPARE(run->files.requests[0].kind, FileRequest::Kind::Open);
        QCOMPARE(run->files.requests[0].filter, QStringLiteral("Copie di Scortavia (Scortavia_*.zip)"));
        QCOMPARE(run->files.requests[0].folder, QString::fromStdString(copies->path().string()));
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Nome), std::string("Vite"));
        QCOMPARE(run->ended, 1);
    }

    // Another copy of the program on the folder (here a process holding its lock) stops a restore.
    void aRestoreIsRefusedWhileAnotherCopyHoldsTheFolder() {
        startShop();
        const fs::path chosen = backupAt(daysAgo(3));
        run->writeProducts({test::product("C1", "Vite cambiata")});
        test::StopPoint holding;
        const fs::path folder = programFolder();
        test::Child other([&] {
            Result<FolderLock> lock = FolderLock::hold(folder, false);
            if (!lock) return 1;
            holding.stopHere();
            return 0;
        });
        QVERIFY(holding.reached());
        QVERIFY(withWindow([&](TfrmCopie* window) {
            window->lstCopie->selectRow(rowOf(window, chosen));
            test::click(window->btnRipristina);
        }));
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Nome), std::string("Vite cambiata"));
        QCOMPARE(run->ended, 0);
        QCOMPARE(run->messages.shown.size(), std::size_t{2});
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Warning);
        QCOMPARE(run->messages.shown[1].text,
                 QStringLiteral("Il ripristino non è possibile mentre il programma è aperto su un altro computer (o in "
                                "un'altra finestra). Chiudi Scortavia dappertutto e riprova."));
        holding.letGo();
        QCOMPARE(other.wait(), 0);
    }

    // The end of a run that reached the main menu makes the day's automatic copy, once a day; the
    // automatic copies past the ones kept go, those made by hand stay.
    void theEndMakesOneAutomaticCopyADay() {
        startShop();
        const fs::path byHand = copies->path() / backupFileName(BackupKind::Manual, daysAgo(40));
        test::writeBytes(byHand, "a mano");
        for (int day = 1; day <= 40; ++day) {
            test::writeBytes(copies->path() / backupFileName(BackupKind::Automatic, daysAgo(day)), "automatica");
        }
        run->program->finish();
        QCOMPARE(progress->texts, QStringList{"Copia automatica dei dati in corso…"});
        const std::string today = backupFileName(BackupKind::Automatic, localNow()).substr(0, 20);
        std::vector<std::string> automatic = automaticCopiesIn(copies->path());
        QCOMPARE(std::count_if(automatic.begin(), automatic.end(),
                               [&](const std::string& name) { return name.starts_with(today); }),
                 1);
        QVERIFY2(automatic.size() <= 7 + 4, qPrintable(QString::number(automatic.size())));
        QVERIFY(!fs::exists(copies->path() / backupFileName(BackupKind::Automatic, daysAgo(40))));
        QVERIFY(fs::exists(byHand));

        // The menu again, the end again: today has its copy already.
        startAgain();
        run->program->finish();
        QCOMPARE(automaticCopiesIn(copies->path()), automatic);
        QVERIFY(run->messages.shown.empty());
    }

    // A run that never passed the password makes no copy at its end.
    void noCopyWithoutTheMainMenu() {
        run = std::make_unique<test::GuiProgram>();
        QVERIFY(writeBackupSetting(programFolder(), kBackupFolderKey, copies->path().string()));
        run->program->finish();
        QCOMPARE(filesIn(copies->path()), std::vector<std::string>{});
    }

    // A copy that failed (the USB stick is not in) is told at the next main menu, once.
    void aFailedAutomaticCopyIsToldOnceAtTheNextMenu() {
        startShop(false);
        const fs::path stick = copies->path() / "chiavetta";
        QVERIFY(writeBackupSetting(programFolder(), kBackupFolderKey, stick.string()));
        run->program->finish();
        const QString failure = setting(programFolder(), kBackupFailureKey);
        QVERIFY2(failure.contains(QString::fromStdString(stick.string())), qPrintable(failure));
        QVERIFY(run->messages.shown.empty());

        startAgain();
        QTRY_COMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY(run->messages.shown[0].text.startsWith(
            QStringLiteral("La copia automatica dei dati non è riuscita:\n\n") + failure + QStringLiteral("\n\n")));
        QCOMPARE(setting(programFolder(), kBackupFailureKey), QString());

        // Back from a work area: nothing more to tell.
        TfrmMagazzino* card = run->openProductCard();
        QVERIFY(card);
        card->close();
        QVERIFY(run->menu()->isVisible());
        QTest::qWait(50);
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
    }

    // A run that died made no copy at its end: the next run makes it when its main menu comes up.
    void aRunThatDiedGetsItsCopyAtTheNextMenu() {
        startShop();
        run->program.reset();  // no finish: its mark stays, held by nobody
        QCOMPARE(automaticCopiesIn(copies->path()), std::vector<std::string>{});
        startAgain();
        QVERIFY(run->program->backups().earlierRunDied());
        QTRY_COMPARE(automaticCopiesIn(copies->path()).size(), std::size_t{1});
        QVERIFY(run->messages.shown.empty());
    }
};

QTEST_MAIN(BackupScreenTest)
#include "BackupScreenTest.moc"
