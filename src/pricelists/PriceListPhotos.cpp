#include "pricelists/PriceListPhotos.h"

#include <string>
#include <system_error>

#include "common/TextRules.h"
#include "pricelists/PriceListFiles.h"
#include "storage/ArchivePaths.h"
#include "storage/PriceListPage.h"

namespace scortavia {

std::optional<std::filesystem::path> pagePhotoPath(const std::filesystem::path& programFolder,
                                                   std::string_view listName, int slotIndex, CardPosition page) {
    const std::string_view name = trimBlanks(listName);
    if (page < 1 || slotIndex < 0 || slotIndex >= PriceListPage::kSlots || !paths::isPlainFileName(name))
        return std::nullopt;
    return paths::priceListPhoto(programFolder, name, slotIndex, page);
}

bool pagePhotoNameFits(std::string_view listName, CardPosition page) {
    const std::string name = paths::priceListPhoto({}, trimBlanks(listName), 0, page).filename().string();
    return name.size() + kTemporaryNameExtraBytes <= kMaxFileNameBytes;
}

std::string unsavedPhotosWarning(const UnsavedPhotos& unsaved) {
    const std::size_t count = unsaved.slots.size();
    const bool one = count == 1;
    std::string letters;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) letters += i + 1 == count ? " e " : ", ";
        letters += PriceListPage::slotLetter(unsaved.slots[i]);
    }
    std::string text = "Attenzione: ";
    if (count == static_cast<std::size_t>(PriceListPage::kSlots)) {
        text += "le foto di tutti i riquadri, dalla A alla H, non sono state salvate";
    } else if (one) {
        text += "la foto del riquadro " + letters + " non è stata salvata";
    } else {
        text += "le foto dei riquadri " + letters + " non sono state salvate";
    }
    text += " nella cartella Foto_Listino";
    if (unsaved.nameTooLong) {
        return text +
               ", perché il nome del listino è troppo lungo per i nomi dei file delle foto (le lettere accentate e i "
               "simboli occupano più spazio delle lettere semplici).\r\n\r\nPer conservare le foto delle pagine, "
               "rinominare il file del listino con un nome più breve nella cartella di installazione del programma.";
    }
    return text + ": il disco potrebbe essere pieno oppure la cartella protetta in scrittura. " +
           (one ? "Nel riquadro ora compare" : "Nei riquadri ora compare") +
           " l'immagine predefinita.\r\n\r\nLiberare spazio sul disco o accertarsi di possedere i privilegi di "
           "scrittura nella cartella, poi caricare di nuovo " +
           (one ? "la foto" : "le foto") + " e salvare ancora la scheda.";
}

bool makePagePhotoFolder(const std::filesystem::path& programFolder) {
    const std::filesystem::path folder = paths::priceListPhotoFolder(programFolder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

}  // namespace scortavia
