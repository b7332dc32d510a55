// "Archivio sul server" from the main menu: trying a server, moving the folder's shop onto it, working
// on it from the next start, copying it back to a folder and going back to the folder.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "shopserver/ServerSettings.h"
#include "shopserver/TfrmServer.h"
#include "storage/Archive.h"
#include "storage/ArchiveEngine.h"
#include "support/GuiProgram.h"
#include "support/TestServer.h"

using namespace scortavia;
namespace fs = std::filesystem;

namespace {

bool anyContains(const QStringList& texts, const QString& piece) {
    return std::any_of(texts.begin(), texts.end(), [&](const QString& t) { return t.contains(piece); });
}

}  // namespace

class ServerScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;
    std::string schema;

    std::unique_ptr<TfrmServer> window() {
        return std::make_unique<TfrmServer>(run->program->registry(), run->program->backups().folderLock(),
                                            run->menu());
    }

    // The test cluster and a shop name nobody uses, typed into the window.
    void typeServer(TfrmServer& w) const {
        const ServerAddress address = test::testServer();
        w.txtIndirizzo->setText(QString::fromStdString(address.host));
        w.txtPorta->clear();
        w.txtDatabase->setText(QString::fromStdString(address.database));
        w.txtUtente->setText(QString::fromStdString(address.user));
        w.txtPassword->clear();
        w.txtNegozio->setText(QString::fromStdString(schema));
    }

    std::int64_t productsOnServer() const {
        auto archive = openArchive(run->productArchive(), ProductRecord::kSize);
        return archive ? *(*archive)->recordCount() : -1;
    }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        schema = test::freshSchemaName("screen");
        run->writeProducts({test::product("A1"), test::product("A2"), test::product("A3")});
        run->writeMovements(QStringLiteral("2024"), Direction::GoodsIn, {test::movement("Fornitore", "A1")});
    }

    void cleanup() {
        useArchiveEngine(run->folder.path(), nullptr);
        if (auto admin = PgConnection::open(test::testServer())) {
            (void)admin->runScript("DROP SCHEMA IF EXISTS " + quotedName(schema) + " CASCADE");
        }
        run.reset();
    }

    void settingsThatCannotBeUsedAreRefusedBeforeAnyConnection() {
        auto w = window();
        QVERIFY(w->lblStato->text().contains(QStringLiteral("nella cartella del programma")));
        QVERIFY(w->btnTrasferisci->isEnabled());
        QVERIFY(!w->btnCartella->isEnabled());
        w->btnProva->click();
        QCOMPARE(run->messages.texts(), QStringList{QStringLiteral("Indicare l'indirizzo del server.")});
        typeServer(*w);
        w->txtNegozio->setText(QStringLiteral("Negozio Centro"));
        w->btnTrasferisci->click();
        QVERIFY(run->messages.texts().back().contains(QStringLiteral("Il nome del negozio")));
        QCOMPARE(run->ended, 0);
    }

    void aFolderShopMovesToTheServerAndTheNextStartWorksOnIt() {
        auto w = window();
        typeServer(*w);
        w->btnProva->click();
        QVERIFY(run->messages.texts().back().contains(QStringLiteral("non c'è ancora il negozio")));

        run->messages.answers = {QMessageBox::Yes};
        w->btnTrasferisci->click();
        QCOMPARE(run->ended, 1);
        QVERIFY2(anyContains(run->messages.texts(),
                             QStringLiteral("sul server ci sono 3 prodotti, 1 movimento, 0 pagine di listino")),
                 qPrintable(run->messages.texts().join(QStringLiteral(" | "))));
        const auto kept = readServerSettings(run->folder.path());
        QVERIFY(kept.ok() && kept->has_value());
        QCOMPARE(QString::fromStdString((*kept)->schema), QString::fromStdString(schema));

        // The next start of the program works on the server: a card saved there is not in the folder.
        Application next(run->folder.path());
        QVERIFY(next.start());
        QVERIFY(archiveEngineOf(run->folder.path()) != nullptr);
        QCOMPARE(productsOnServer(), 3);
        auto archive = openArchive(run->productArchive(), ProductRecord::kSize);
        QVERIFY((*archive)->append(test::product("A4").bytes()).ok());
        QCOMPARE(productsOnServer(), 4);
        QCOMPARE(fs::file_size(run->productArchive()), 3 * ProductRecord::kSize);

        // On the server the window offers the copy and the way back, not another transfer.
        auto again = window();
        QVERIFY(again->lblStato->text().contains(QString::fromStdString(schema)));
        QVERIFY(!again->btnTrasferisci->isEnabled());
        QVERIFY(again->btnCartella->isEnabled());
        const fs::path copy = run->folder.file("../" + run->folder.path().filename().string() + "-copia");
        run->files.answers = {QString::fromStdString(copy.string())};
        again->btnCopia->click();
        QVERIFY(run->messages.texts().back().contains(QStringLiteral("Copia completata")));
        QCOMPARE(fs::file_size(copy / "Magazzino.pro"), 4 * ProductRecord::kSize);
        fs::remove_all(copy);

        run->messages.answers = {QMessageBox::Yes};
        again->btnCartella->click();
        QCOMPARE(run->ended, 2);
        QVERIFY(!readServerSettings(run->folder.path())->has_value());
    }

    void aServerThatDoesNotAnswerAtStartIsToldAndNeverReplacedByTheFolder() {
        ServerShop nowhere{test::testServer(), schema};
        nowhere.address.host = "/nonexistent-socket-folder";
        QVERIFY(writeServerSettings(run->folder.path(), nowhere));
        run->messages.shown.clear();
        run->messages.answers = {QMessageBox::Yes, QMessageBox::No};
        Application next(run->folder.path());
        QVERIFY(!next.start());
        QCOMPARE(run->messages.shown.size(), std::size_t{2});
        QVERIFY(run->messages.texts().front().contains(QStringLiteral("Impossibile collegarsi al server.")));
        QVERIFY(run->messages.texts().front().contains(QStringLiteral("Vuoi riprovare?")));
        QVERIFY(archiveEngineOf(run->folder.path()) == nullptr);
    }
};

QTEST_MAIN(ServerScreenTest)
#include "ServerScreenTest.moc"
