#include "shopserver/TfrmServer.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "backups/BackupProgressWindow.h"
#include "backups/FolderAlone.h"
#include "shopserver/ServerSettings.h"
#include "shopserver/ShopTransfer.h"
#include "storage/ArchiveEngine.h"
#include "ui/BoxBehaviour.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/ScreenRegistry.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr const char* kMsgFolderInUse =
    "Il trasferimento non è possibile mentre il programma è aperto su un altro computer (o in un'altra finestra). "
    "Chiudi Scortavia dappertutto e riprova.";
constexpr const char* kMsgLocksUnknown =
    "In questa cartella il programma non può accorgersi se Scortavia è aperto su un altro computer.\n\n"
    "Il trasferimento va fatto quando Scortavia è chiuso su tutti gli altri computer che usano questa cartella. "
    "È chiuso dappertutto?";
constexpr const char* kMsgSettingsNotWritten =
    "Non è stato possibile scrivere le impostazioni del server nel file delle impostazioni (\"unins000.dll\"): il "
    "file manca o non si può scrivere. Gli archivi restano dove erano.";

QString counted(std::uint64_t n, const char* one, const char* many) {
    return n == 1 ? QStringLiteral("1 %1").arg(QString::fromUtf8(one))
                  : QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(many));
}

// "40 prodotti, 3 movimenti, 2 pagine di listino e 6 tra foto e documenti".
QString contentsOf(const MoveOutcome& moved) {
    return QStringLiteral("%1, %2, %3 e %4")
        .arg(counted(moved.counts.products, "prodotto", "prodotti"),
             counted(moved.counts.movements, "movimento", "movimenti"),
             counted(moved.counts.pages, "pagina di listino", "pagine di listino"),
             counted(moved.files, "tra foto e documenti", "tra foto e documenti"));
}

QLineEdit* formBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMinimumHeight(28);
    return box;
}

}  // namespace

TfrmServer::TfrmServer(ScreenRegistry& registry, FolderLock* lock, QWidget* owner)
    : QDialog(owner), registry_(registry), lock_(lock) {
    QVBoxLayout* layout =
        setUpDialog(this, QStringLiteral("frmServer"), QStringLiteral(" Archivio sul server"), {720, 470});
    layout->setSpacing(10);
    layout->addWidget(instructionBanner(
        QStringLiteral("lblIstruzioni"),
        QStringLiteral("Di solito gli archivi stanno nella cartella del programma. Un negozio con più sedi o con "
                       "archivi molto grandi può tenerli su un server PostgreSQL: qui si indicano il server e il "
                       "negozio, si prova il collegamento e si trasferiscono i dati."),
        this));

    lblStato = new QLabel(this);
    lblStato->setObjectName(QStringLiteral("lblStato"));
    lblStato->setWordWrap(true);
    lblStato->setProperty("count", true);
    layout->addWidget(lblStato);

    auto* grid = formGrid(14, 8);
    txtIndirizzo = formBox(QStringLiteral("txtIndirizzo"), this);
    txtIndirizzo->setPlaceholderText(QStringLiteral("per esempio server.negozio.it"));
    txtPorta = formBox(QStringLiteral("txtPorta"), this);
    txtPorta->setPlaceholderText(QStringLiteral("5432"));
    txtPorta->setMaxLength(5);
    txtPorta->setMaximumWidth(110);
    txtDatabase = formBox(QStringLiteral("txtDatabase"), this);
    txtUtente = formBox(QStringLiteral("txtUtente"), this);
    txtPassword = passwordBox(QStringLiteral("txtPassword"), this);
    txtPassword->setMinimumHeight(28);
    txtNegozio = formBox(QStringLiteral("txtNegozio"), this);
    txtNegozio->setPlaceholderText(QStringLiteral("per esempio negozio_centro"));
    const std::pair<const char*, QLineEdit*> rows[] = {{"Indirizzo del server:", txtIndirizzo},
                                                       {"Porta:", txtPorta},
                                                       {"Database:", txtDatabase},
                                                       {"Utente:", txtUtente},
                                                       {"Password:", txtPassword},
                                                       {"Negozio:", txtNegozio}};
    int r = 0;
    for (const auto& [caption, box] : rows) {
        grid->addWidget(
            captionLabel(QStringLiteral("tit") + box->objectName().mid(3), QString::fromUtf8(caption), this), r, 0);
        grid->addWidget(box, r++, 1);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    btnProva = textButton(QStringLiteral("btnProva"), QStringLiteral("Prova collegamento"), this);
    btnUsa = textButton(QStringLiteral("btnUsa"), QStringLiteral("Usa questo negozio"), this);
    layout->addLayout(lineOf({btnProva, btnUsa, nullptr}));
    btnTrasferisci = textButton(QStringLiteral("btnTrasferisci"), QStringLiteral("Trasferisci sul server…"), this);
    btnCopia = textButton(QStringLiteral("btnCopia"), QStringLiteral("Copia in una cartella…"), this);
    btnCartella = textButton(QStringLiteral("btnCartella"), QStringLiteral("Torna alla cartella"), this);
    layout->addLayout(lineOf({btnTrasferisci, btnCopia, btnCartella, nullptr}));
    layout->addStretch(1);

    imgGuida = new PictureButton(QStringLiteral("imgGuida"), QStringLiteral(":/icon_guida.svg"), {32, 32}, this);
    imgGuida->reachByKeyboard();
    btnChiudi = textButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), this);
    QLabel* panInfo = nullptr;
    layout->addLayout(statusRow(panInfo, {imgGuida, btnChiudi}, this));

    auto* hints = new HoverHints(panInfo, this);
    hints->set(txtIndirizzo, QStringLiteral("Il nome o l'indirizzo del server PostgreSQL."));
    hints->set(txtPorta, QStringLiteral("La porta del server; vuota per quella usuale, 5432."));
    hints->set(txtDatabase, QStringLiteral("Il database del server che contiene i negozi."));
    hints->set(txtUtente, QStringLiteral("L'utente con cui collegarsi al server."));
    hints->set(txtPassword, QStringLiteral("La password dell'utente; viene conservata camuffata, mai in chiaro."));
    hints->set(txtNegozio, QStringLiteral("Il nome del negozio sul server: minuscole, cifre e «_»."));
    hints->set(btnProva, QStringLiteral("Prova a collegarsi e dice se il negozio c'è già sul server."));
    hints->set(btnUsa, QStringLiteral("Fa lavorare questo computer sul negozio che è già sul server."));
    hints->set(btnTrasferisci, QStringLiteral("Copia tutti i dati della cartella in un negozio nuovo sul server."));
    hints->set(btnCopia, QStringLiteral("Scrive i dati del negozio del server in una cartella vuota."));
    hints->set(btnCartella, QStringLiteral("Torna a usare gli archivi della cartella del programma."));
    hints->set(imgGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    hints->set(btnChiudi, QStringLiteral("Chiude la finestra."));
    hints->watchAll();

    connect(btnProva, &QPushButton::clicked, this, &TfrmServer::btnProvaClick);
    connect(btnUsa, &QPushButton::clicked, this, &TfrmServer::btnUsaClick);
    connect(btnTrasferisci, &QPushButton::clicked, this, &TfrmServer::btnTrasferisciClick);
    connect(btnCopia, &QPushButton::clicked, this, &TfrmServer::btnCopiaClick);
    connect(btnCartella, &QPushButton::clicked, this, &TfrmServer::btnCartellaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(imgGuida, &PictureButton::clicked, this, [this] { showHelp(registry_, this, HelpTopic::Server); });

    if (const auto kept = readServerSettings(registry_.programFolder()); kept && kept->has_value()) {
        const ServerShop& shop = **kept;
        txtIndirizzo->setText(toQString(shop.address.host));
        txtPorta->setText(toQString(shop.address.port));
        txtDatabase->setText(toQString(shop.address.database));
        txtUtente->setText(toQString(shop.address.user));
        txtPassword->setText(toQString(shop.address.password));
        txtNegozio->setText(toQString(shop.schema));
    }
    refresh();
    txtIndirizzo->setFocus();
}

void TfrmServer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) centerOnScreen(this);
}

bool TfrmServer::onServer() const { return archiveEngineOf(registry_.programFolder()) != nullptr; }

void TfrmServer::refresh() {
    const auto kept = readServerSettings(registry_.programFolder());
    if (onServer() && kept && kept->has_value()) {
        lblStato->setText(QStringLiteral("Gli archivi di questo computer sono sul server «%1», negozio «%2».")
                              .arg(toQString((*kept)->address.host), toQString((*kept)->schema)));
    } else {
        lblStato->setText(QStringLiteral("Gli archivi di questo computer sono nella cartella del programma."));
    }
    btnTrasferisci->setEnabled(!onServer());
    btnCartella->setEnabled(onServer());
}

ServerShop TfrmServer::typedShop() const {
    ServerShop shop;
    shop.address.host = txtIndirizzo->text().trimmed().toStdString();
    shop.address.port = txtPorta->text().trimmed().toStdString();
    shop.address.database = txtDatabase->text().trimmed().toStdString();
    shop.address.user = txtUtente->text().trimmed().toStdString();
    shop.address.password = txtPassword->text().toStdString();
    shop.schema = txtNegozio->text().trimmed().toStdString();
    return shop;
}

std::optional<ServerShop> TfrmServer::usableShop() {
    ServerShop shop = typedShop();
    if (const auto problem = serverSettingsProblem(shop)) {
        MessageService::warning(this, toQString(*problem));
        return std::nullopt;
    }
    return shop;
}

void TfrmServer::endProgram(const QString& message) {
    MessageService::information(this, message);
    accept();
    registry_.endProgram();
}

std::optional<ShopProbe> TfrmServer::probe(const ServerShop& shop) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto probed = probeShop(shop);
    QApplication::restoreOverrideCursor();
    if (!probed) {
        MessageService::error(this, toQString(probed.error()));
        return std::nullopt;
    }
    return *probed;
}

void TfrmServer::btnProvaClick() {
    const auto shop = usableShop();
    if (!shop) return;
    const auto probe = this->probe(*shop);
    if (!probe) return;
    const QString link = probe->encrypted ? QStringLiteral("Il collegamento è cifrato.")
                                          : QStringLiteral("Il collegamento non è cifrato: il server non lo offre.");
    if (probe->exists) {
        MessageService::information(this,
                                    QStringLiteral("Collegamento riuscito: il negozio «%1» è pronto sul server.\n\n%2")
                                        .arg(toQString(shop->schema), link));
    } else {
        MessageService::information(
            this, QStringLiteral("Collegamento riuscito, ma sul server non c'è ancora il negozio «%1».\n\nPer crearlo "
                                 "con i dati di questa cartella usa «Trasferisci sul server…».\n\n%2")
                      .arg(toQString(shop->schema), link));
    }
}

void TfrmServer::btnUsaClick() {
    const auto shop = usableShop();
    if (!shop) return;
    const auto probe = this->probe(*shop);
    if (!probe) return;
    if (!probe->exists) {
        MessageService::warning(this, QStringLiteral("Sul server non c'è il negozio «%1».\n\nPer crearlo con i dati di "
                                                     "questa cartella usa «Trasferisci sul server…».")
                                          .arg(toQString(shop->schema)));
        return;
    }
    if (!MessageService::question(
            this,
            QStringLiteral("Da ora questo computer lavora sul negozio «%1» del server. Gli archivi della cartella "
                           "restano come sono, ma non vengono più usati.\n\nAlla fine Scortavia si chiude: "
                           "riaprilo per lavorare sul server.\n\nContinuare?")
                .arg(toQString(shop->schema)))) {
        return;
    }
    if (!writeServerSettings(registry_.programFolder(), *shop)) {
        MessageService::error(this, QString::fromUtf8(kMsgSettingsNotWritten));
        return;
    }
    endProgram(QStringLiteral("Scortavia ora si chiude: riaprilo per lavorare sul negozio «%1» del server.")
                   .arg(toQString(shop->schema)));
}

void TfrmServer::btnTrasferisciClick() {
    if (onServer()) return;
    const auto shop = usableShop();
    if (!shop) return;
    if (!MessageService::question(
            this, QStringLiteral("Tutti gli archivi, le foto e i documenti di questa cartella vengono copiati nel "
                                 "negozio «%1» del server e poi riletti e controllati; soltanto alla fine gli archivi "
                                 "passano al server, per questo computer e per gli altri che usano questa cartella.\n\n"
                                 "I file della cartella non vengono toccati. Alla fine Scortavia si chiude.\n\n"
                                 "Vuoi trasferire i dati sul server?")
                      .arg(toQString(shop->schema)))) {
        return;
    }
    FolderAlone alone =
        FolderAlone::take(lock_, this, QString::fromUtf8(kMsgFolderInUse), QString::fromUtf8(kMsgLocksUnknown));
    if (!alone.taken()) return;
    bool cancelled = false;
    const Result<MoveOutcome> moved = [&] {
        BackupProgressWindow progress(this, QStringLiteral("Trasferimento dei dati sul server in corso…"));
        Result<MoveOutcome> result = transferToServer(registry_.programFolder(), *shop, progress.callback());
        cancelled = progress.cancelled() || (result && result->cancelled);
        return result;
    }();
    if (!moved || moved->cancelled) {
        alone.share();
        if (!cancelled) MessageService::error(this, toQString(moved.error()));
        return;
    }
    // The folder is shared again: from now on its copies of the program are sent to the server.
    alone.share();
    if (!writeServerSettings(registry_.programFolder(), *shop)) {
        MessageService::error(this, QString::fromUtf8(kMsgSettingsNotWritten));
        return;
    }
    endProgram(QStringLiteral("Trasferimento completato: sul server ci sono %1.\n\nScortavia ora si chiude: riaprilo "
                              "per lavorare sull'archivio del server.")
                   .arg(contentsOf(*moved)));
}

void TfrmServer::btnCopiaClick() {
    const auto shop = usableShop();
    if (!shop) return;
    const auto chosen =
        FileDialogService::chooseFolder(this, QStringLiteral("Scegli una cartella vuota per la copia del negozio"));
    if (!chosen) return;
    const std::filesystem::path folder(chosen->toStdString());
    bool cancelled = false;
    const Result<MoveOutcome> copied = [&] {
        BackupProgressWindow progress(this, QStringLiteral("Copia dei dati del server in corso…"));
        Result<MoveOutcome> result = copyToFolder(*shop, folder, progress.callback());
        cancelled = progress.cancelled() || (result && result->cancelled);
        return result;
    }();
    if (cancelled) return;
    if (!copied) {
        MessageService::error(this, toQString(copied.error()));
        return;
    }
    MessageService::information(
        this, QStringLiteral("Copia completata: nella cartella «%1» ci sono %2, come li terrebbe la cartella del "
                             "programma.")
                  .arg(*chosen, contentsOf(*copied)));
}

void TfrmServer::btnCartellaClick() {
    if (!onServer()) return;
    if (!MessageService::question(
            this, QStringLiteral("Questo computer torna a usare gli archivi della cartella del programma, così come "
                                 "erano prima di passare al server: quello che è stato registrato sul server dopo non "
                                 "c'è. Per avere i dati del server in una cartella usa prima «Copia in una "
                                 "cartella…».\n\nAlla fine Scortavia si chiude.\n\nContinuare?"))) {
        return;
    }
    if (!forgetServer(registry_.programFolder())) {
        MessageService::error(this, QString::fromUtf8(kMsgSettingsNotWritten));
        return;
    }
    endProgram(QStringLiteral("Scortavia ora si chiude: riaprilo per lavorare con gli archivi della cartella."));
}

}  // namespace scortavia
