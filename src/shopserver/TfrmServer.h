#pragma once

#include <QDialog>
#include <optional>

#include "server/ServerEngine.h"
#include "shopserver/ShopTransfer.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace scortavia {

class FolderLock;
class PictureButton;
class ScreenRegistry;

// "Archivio sul server": where this installation keeps its archives. It takes the server's address and
// the shop on it, tries the connection, moves the folder's data to a new shop on the server, puts this
// computer on a shop already there, writes a server shop back as a program folder, and gives the
// archives back to the folder. Whatever changes where the archives are ends the program, so that no
// screen goes on with archives of the other place. A transfer needs the folder alone: `lock` is the one
// this copy of the program holds.
class TfrmServer final : public QDialog {
    Q_OBJECT
public:
    TfrmServer(ScreenRegistry& registry, FolderLock* lock, QWidget* owner);

    QLabel* lblStato;
    QLineEdit* txtIndirizzo;
    QLineEdit* txtPorta;
    QLineEdit* txtDatabase;
    QLineEdit* txtUtente;
    QLineEdit* txtPassword;
    QLineEdit* txtNegozio;
    QPushButton* btnProva;
    QPushButton* btnUsa;
    QPushButton* btnTrasferisci;
    QPushButton* btnCopia;
    QPushButton* btnCartella;
    PictureButton* imgGuida;
    QPushButton* btnChiudi;

    void btnProvaClick();
    void btnUsaClick();
    void btnTrasferisciClick();
    void btnCopiaClick();
    void btnCartellaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool onServer() const;
    ServerShop typedShop() const;
    // The typed shop when its settings can be used; otherwise says why and gives nothing.
    std::optional<ServerShop> usableShop();
    // What the server says of the shop, with the busy pointer meanwhile; a failure is said and gives nothing.
    std::optional<ShopProbe> probe(const ServerShop& shop);
    void refresh();
    void endProgram(const QString& message);

    ScreenRegistry& registry_;
    FolderLock* lock_;
};

}  // namespace scortavia
