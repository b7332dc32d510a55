#include "guide/ShopSample.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <chrono>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "backups/BackupArchive.h"
#include "backups/BackupSchedule.h"
#include "backups/BackupSettings.h"
#include "products/ProductPhoto.h"
#include "shell/PasswordStore.h"
#include "storage/ArchivePaths.h"
#include "storage/MovementRecord.h"
#include "storage/PriceListPage.h"
#include "storage/ProductRecord.h"
#include "ui/PhotoBox.h"

namespace scortavia::guide {
namespace {

// What a sample product looks like in its photo.
enum class Shape { Vase, Saucer, WateringCan, Bag, Planter, Packet };

struct SampleProduct {
    const char* code;
    const char* name;
    const char* appearance;  // "Aspetto esteriore del bene"
    const char* category;
    const char* features;
    const char* cost;
    const char* price;
    const char* stock;
    const char* warning;
    const char* place;
    const char* supplier;
    const char* agent;
    const char* phone;
    const char* document;
    const char* payment;
    const char* dueDate;
    const char* notes;
    bool paid;
    Shape shape;
    QRgb colour;
};

// Fictitious firms, people and telephone numbers.
constexpr SampleProduct kProducts[] = {
    {"VT-030",
     "Vaso in terracotta Ø 30 cm",
     "Terracotta naturale color cotto",
     "Vasi e fioriere",
     "Foro di drenaggio, resistente al gelo, alto 27 cm",
     "8,40",
     "16,90",
     "24",
     "6",
     "Scaffale B2",
     "Fornaci del Chianti S.r.l.",
     "Marco Bellini",
     "055 555 0142",
     "Fattura n. 118 del 04/03/2024",
     "Bonifico a 30 giorni",
     "03/04/2024",
     "Riordinare prima della primavera",
     false,
     Shape::Vase,
     0xC8693A},
    {"SV-030",
     "Sottovaso in terracotta Ø 30 cm",
     "Terracotta naturale color cotto",
     "Vasi e fioriere",
     "Bordo alto 4 cm, per i vasi da 30 cm",
     "2,10",
     "4,50",
     "18",
     "6",
     "Scaffale B2",
     "Fornaci del Chianti S.r.l.",
     "Marco Bellini",
     "055 555 0142",
     "Fattura n. 118 del 04/03/2024",
     "Bonifico a 30 giorni",
     "03/04/2024",
     "",
     false,
     Shape::Saucer,
     0xC0643A},
    {"AN-010",
     "Annaffiatoio in zinco 10 litri",
     "Lamiera zincata grigio satinato",
     "Attrezzi da giardino",
     "Becco lungo con rosetta in ottone",
     "11,80",
     "24,90",
     "7",
     "3",
     "Parete A, gancio 4",
     "Ferramenta Lombarda S.p.A.",
     "Giulia Ferri",
     "02 555 0178",
     "Fattura n. 2031 del 12/02/2024",
     "Ricevuta bancaria a 60 giorni",
     "12/04/2024",
     "",
     true,
     Shape::WateringCan,
     0x9AA3A8},
    {"TU-020",
     "Terriccio universale 20 litri",
     "Sacco verde in plastica",
     "Terricci e concimi",
     "Torba bionda, pomice e concime a lenta cessione",
     "3,20",
     "6,90",
     "40",
     "10",
     "Magazzino, bancale 1",
     "Agricola Verde Piana S.r.l.",
     "Paolo Conti",
     "051 555 0196",
     "Fattura n. 77 del 20/02/2024",
     "Contanti",
     "",
     "",
     true,
     Shape::Bag,
     0x3F7D3A},
    {"FR-060",
     "Fioriera rettangolare 60 cm",
     "Polipropilene antracite opaco",
     "Vasi e fioriere",
     "Sottovaso incorporato, per balconi e davanzali",
     "5,60",
     "12,50",
     "2",
     "4",
     "Scaffale C1",
     "Plastiche Garda S.n.c.",
     "Elena Riva",
     "030 555 0113",
     "Fattura n. 940 del 01/03/2024",
     "Bonifico a 30 giorni",
     "31/03/2024",
     "Scorta bassa: ordine già richiesto",
     false,
     Shape::Planter,
     0x454B50},
    {"SE-BAS",
     "Semi di basilico genovese",
     "Bustina di carta illustrata",
     "Sementi",
     "Bustina da 5 g, semina da marzo a giugno",
     "0,90",
     "2,20",
     "55",
     "15",
     "Espositore sementi",
     "Sementi Padane S.r.l.",
     "Luca Moretti",
     "0523 555 0160",
     "Fattura n. 15 del 10/01/2024",
     "Bonifico a 30 giorni",
     "",
     "",
     true,
     Shape::Packet,
     0x4E9A4A},
    {"VS-020",
     "Vaso smaltato blu Ø 20 cm",
     "Ceramica smaltata blu cobalto",
     "Vasi e fioriere",
     "Smaltato a mano, foro di drenaggio con tappo",
     "6,30",
     "13,90",
     "9",
     "4",
     "Scaffale B3",
     "Ceramiche di Caltagirone S.r.l.",
     "Rosa Greco",
     "0933 555 0121",
     "Fattura n. 305 del 28/02/2024",
     "Bonifico a 60 giorni",
     "28/04/2024",
     "",
     false,
     Shape::Vase,
     0x2A5DA8},
    {"CO-001",
     "Concime per piante fiorite 1 kg",
     "Sacchetto arancione richiudibile",
     "Terricci e concimi",
     "Granulare a lenta cessione, dura tre mesi",
     "4,10",
     "8,90",
     "16",
     "5",
     "Scaffale D1",
     "Agricola Verde Piana S.r.l.",
     "Paolo Conti",
     "051 555 0196",
     "Fattura n. 77 del 20/02/2024",
     "Contanti",
     "",
     "",
     true,
     Shape::Bag,
     0xE07B24},
};

struct SampleMovement {
    const char* party;
    const char* phone;
    const char* document;
    const char* documentDate;
    const char* date;
    std::size_t product;  // in kProducts
    const char* brand;
    const char* unitCost;
    const char* quantity;
    const char* totalCost;
    const char* notes;
    bool toBePaid;
};

constexpr SampleMovement kGoodsIn[] = {
    {"Fornaci del Chianti S.r.l.", "055 555 0142", "118", "04/03/2024", "05/03/2024", 0,
     "Fornaci del Chianti, linea Classica", "8,40", "24", "201,60", "Consegna completa, controllati i colli", true},
    {"Fornaci del Chianti S.r.l.", "055 555 0142", "118", "04/03/2024", "05/03/2024", 1,
     "Fornaci del Chianti, linea Classica", "2,10", "18", "37,80", "", true},
    {"Agricola Verde Piana S.r.l.", "051 555 0196", "77", "20/02/2024", "21/02/2024", 3, "Verde Piana, Universale",
     "3,20", "40", "128,00", "Pagato alla consegna", false},
};

bool writeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

template <class Record>
void appendRecord(std::string& archive, const Record& record) {
    archive.append(reinterpret_cast<const char*>(record.bytes().data()), record.bytes().size());
}

// A studio photo: a soft backdrop, the object's shadow, the object lit from the upper left.
QImage drawPhoto(Shape shape, QColor colour) {
    const QSize size = kPhotoSize * 2;
    QImage photo(size, QImage::Format_RGB32);
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient backdrop(0, 0, 0, size.height());
    backdrop.setColorAt(0, QColor(0xF6, 0xF3, 0xEE));
    backdrop.setColorAt(1, QColor(0xDD, 0xD6, 0xCB));
    p.fillRect(photo.rect(), backdrop);

    const double w = size.width();
    const double h = size.height();
    const double cx = w / 2;
    const double floor = h * 0.84;
    QRadialGradient shadow(cx, floor, w * 0.3);
    shadow.setColorAt(0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(cx, floor), w * 0.32, h * 0.06);

    QLinearGradient lit(cx - w * 0.25, 0, cx + w * 0.25, 0);
    lit.setColorAt(0, colour.lighter(125));
    lit.setColorAt(0.45, colour);
    lit.setColorAt(1, colour.darker(150));
    const QColor edge = colour.darker(170);
    p.setPen(QPen(edge, 3));
    p.setBrush(lit);

    switch (shape) {
        case Shape::Vase: {
            QPainterPath body;
            body.moveTo(cx - w * 0.2, h * 0.32);
            body.lineTo(cx + w * 0.2, h * 0.32);
            body.lineTo(cx + w * 0.14, floor);
            body.lineTo(cx - w * 0.14, floor);
            body.closeSubpath();
            p.drawPath(body);
            p.drawRoundedRect(QRectF(cx - w * 0.23, h * 0.24, w * 0.46, h * 0.1), 6, 6);
            p.setBrush(colour.darker(250));
            p.drawEllipse(QPointF(cx, h * 0.25), w * 0.21, h * 0.025);
            break;
        }
        case Shape::Saucer: {
            p.drawEllipse(QPointF(cx, floor - h * 0.1), w * 0.34, h * 0.12);
            p.setBrush(colour.darker(130));
            p.drawEllipse(QPointF(cx, floor - h * 0.12), w * 0.28, h * 0.08);
            break;
        }
        case Shape::WateringCan: {
            QPainterPath spout;
            spout.moveTo(cx + w * 0.12, floor - h * 0.18);
            spout.lineTo(cx + w * 0.36, h * 0.3);
            spout.lineTo(cx + w * 0.38, h * 0.33);
            spout.lineTo(cx + w * 0.14, floor - h * 0.08);
            spout.closeSubpath();
            p.drawPath(spout);
            p.drawEllipse(QPointF(cx + w * 0.38, h * 0.3), w * 0.035, h * 0.05);
            p.drawRoundedRect(QRectF(cx - w * 0.18, h * 0.38, w * 0.32, floor - h * 0.38), 14, 14);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(colour.darker(140), 16, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(cx - w * 0.14, h * 0.16, w * 0.24, h * 0.4), 0, 180 * 16);
            break;
        }
        case Shape::Bag: {
            QPainterPath bag;
            bag.moveTo(cx - w * 0.17, h * 0.2);
            bag.quadTo(cx, h * 0.16, cx + w * 0.17, h * 0.2);
            bag.lineTo(cx + w * 0.2, floor);
            bag.lineTo(cx - w * 0.2, floor);
            bag.closeSubpath();
            p.drawPath(bag);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xFA, 0xF7, 0xEF));
            p.drawRoundedRect(QRectF(cx - w * 0.13, h * 0.4, w * 0.26, h * 0.24), 10, 10);
            p.setBrush(colour);
            p.drawEllipse(QPointF(cx, h * 0.52), w * 0.05, w * 0.05);
            break;
        }
        case Shape::Planter: {
            QPainterPath box;
            box.moveTo(cx - w * 0.4, h * 0.5);
            box.lineTo(cx + w * 0.4, h * 0.5);
            box.lineTo(cx + w * 0.36, floor);
            box.lineTo(cx - w * 0.36, floor);
            box.closeSubpath();
            p.drawPath(box);
            p.drawRoundedRect(QRectF(cx - w * 0.42, h * 0.45, w * 0.84, h * 0.07), 5, 5);
            break;
        }
        case Shape::Packet: {
            p.drawRoundedRect(QRectF(cx - w * 0.15, h * 0.16, w * 0.3, floor - h * 0.16), 6, 6);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xFA, 0xF7, 0xEF));
            p.drawRoundedRect(QRectF(cx - w * 0.11, h * 0.26, w * 0.22, h * 0.3), 8, 8);
            p.setBrush(colour.darker(120));
            for (int leaf = 0; leaf < 3; ++leaf) {
                p.drawEllipse(QPointF(cx + (leaf - 1) * w * 0.05, h * (0.36 + (leaf % 2) * 0.08)), w * 0.035, h * 0.06);
            }
            break;
        }
    }
    return photo;
}

ProductRecord productRecord(const SampleProduct& s) {
    using P = ProductLayout;
    ProductRecord r;
    r.setText(P::Codice, s.code);
    r.setText(P::Costo, s.cost);
    r.setText(P::Nome, s.name);
    r.setText(P::Giacenza, s.stock);
    r.setText(P::Avviso, s.warning);
    r.setText(P::UM, s.appearance);
    r.setText(P::Tipologia, s.category);
    r.setText(P::Caratteristiche, s.features);
    r.setText(P::Collocazione, s.place);
    r.setText(P::Ditta, s.supplier);
    r.setText(P::Agente, s.agent);
    r.setText(P::Recapito, s.phone);
    r.setText(P::Documento, s.document);
    r.setText(P::Pagamento, s.payment);
    r.setText(P::DataSca, s.dueDate);
    r.setText(P::Note, s.notes);
    r.setText(P::Prezzo, s.price);
    r.setText(P::Pagato, s.paid ? kFlagYes : kFlagNo);
    return r;
}

MovementRecord movementRecord(const SampleMovement& s) {
    using M = MovementLayout;
    const SampleProduct& product = kProducts[s.product];
    MovementRecord r;
    r.setText(M::Fornitore, s.party);
    r.setText(M::Recapiti, s.phone);
    r.setText(M::NumDoc, s.document);
    r.setText(M::DataDoc, s.documentDate);
    r.setText(M::Data, s.date);
    r.setText(M::Codice, product.code);
    r.setText(M::Tipologia, product.category);
    r.setText(M::Marca, s.brand);
    r.setText(M::Descrizione, product.name);
    r.setText(M::CostoUni, s.unitCost);
    r.setText(M::Quant, s.quantity);
    r.setText(M::CostoTot, s.totalCost);
    r.setText(M::Note, s.notes);
    r.setText(M::DaSaldare, s.toBePaid ? kFlagYes : kFlagNo);
    return r;
}

}  // namespace

bool writeShopSample(const std::filesystem::path& programFolder, QString& problem) {
    const auto fail = [&problem](const std::filesystem::path& file) {
        problem = QStringLiteral("impossibile scrivere %1").arg(QString::fromStdString(file.string()));
        return false;
    };
    if (!storePassword(programFolder, kSamplePassword)) return fail(paths::settingsFile(programFolder));

    std::string products;
    PriceListPage page;
    std::error_code ignored;
    std::filesystem::create_directories(paths::priceListPhotoFolder(programFolder), ignored);
    int index = 0;
    for (const SampleProduct& s : kProducts) {
        appendRecord(products, productRecord(s));
        const QImage photo = drawPhoto(s.shape, QColor(s.colour));
        const std::filesystem::path cardPhoto = paths::productPhoto(programFolder, index + 1);
        if (!writeJpeg(QString::fromStdString(cardPhoto.string()), photo)) return fail(cardPhoto);

        using S = PriceListSlotLayout;
        page.setText(index, S::Codice, s.code);
        page.setText(index, S::Nome, s.name);
        page.setText(index, S::UM, s.appearance);
        page.setText(index, S::Caratteristiche, s.features);
        page.setText(index, S::Prezzo, s.price);
        const std::filesystem::path slotPhoto = paths::priceListPhoto(programFolder, kSampleList, index, 1);
        if (!writeJpeg(QString::fromStdString(slotPhoto.string()), photo)) return fail(slotPhoto);
        ++index;
    }
    const std::filesystem::path productArchive = paths::productArchive(programFolder);
    if (!writeFile(productArchive, products)) return fail(productArchive);

    std::string goodsIn;
    for (const SampleMovement& s : kGoodsIn) appendRecord(goodsIn, movementRecord(s));
    const std::filesystem::path goodsInArchive =
        paths::movementArchive(programFolder, kSampleYear, paths::Direction::GoodsIn);
    if (!writeFile(goodsInArchive, goodsIn)) return fail(goodsInArchive);

    const std::filesystem::path listArchive = paths::priceListArchive(programFolder, kSampleList);
    const std::string_view pageBytes(reinterpret_cast<const char*>(page.bytes().data()), page.bytes().size());
    if (!writeFile(listArchive, pageBytes)) return fail(listArchive);
    return true;
}

bool writeSampleBackups(const std::filesystem::path& programFolder, const std::filesystem::path& backupFolder,
                        QString& problem) {
    using namespace std::chrono_literals;
    std::error_code ignored;
    std::filesystem::create_directories(backupFolder, ignored);
    if (!writeBackupSetting(programFolder, kBackupFolderKey, backupFolder.string())) {
        problem = QStringLiteral("impossibile scegliere la cartella delle copie");
        return false;
    }
    // Closing time on two evenings, and one made by hand before a big delivery.
    const std::pair<BackupKind, LocalMinute> kCopies[] = {
        {BackupKind::Automatic, {2024y / 11 / 18, 19, 2, 41}},
        {BackupKind::Automatic, {2024y / 11 / 19, 19, 7, 12}},
        {BackupKind::Manual, {2024y / 11 / 20, 12, 30, 5}},
    };
    for (const auto& [kind, when] : kCopies) {
        const Result<BackupInfo> made =
            createBackup(programFolder, backupFolder / backupFileName(kind, when), kind, manifestTime(when));
        if (!made) {
            problem = QString::fromStdString(made.error());
            return false;
        }
    }
    return true;
}

void inShopSample(QStringList& problems, const std::function<void(const std::filesystem::path&)>& use) {
    QTemporaryDir folder(QDir::current().filePath(QStringLiteral("schermate-XXXXXX")));
    QString problem;
    if (!folder.isValid()) {
        problems << folder.errorString();
    } else if (!writeShopSample(folder.path().toStdString(), problem)) {
        problems << problem;
    } else {
        use(folder.path().toStdString());
    }
}

}  // namespace scortavia::guide
