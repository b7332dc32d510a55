#include "BenchArchive.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "storage/MovementRecord.h"
#include "storage/ProductRecord.h"

namespace fs = std::filesystem;

namespace scortavia::bench {

const std::array<const char*, 8> kNames = {"Vite autofilettante",     "Tassello in nylon", "Chiave inglese",
                                           "Martello da carpentiere", "Nastro isolante",   "Guanti da lavoro",
                                           "Trapano avvitatore",      "Cacciavite a croce"};
const std::array<const char*, 5> kCategories = {"Ferramenta", "Utensili", "Elettricità", "Antinfortunistica",
                                                "Giardinaggio"};

const fs::path& benchFolder() {
    static const fs::path folder = [] {
        fs::path p = fs::temp_directory_path() / ("scortavia-bench-" + std::to_string(getpid()));
        fs::create_directories(p);
        std::atexit(
            [] { fs::remove_all(fs::temp_directory_path() / ("scortavia-bench-" + std::to_string(getpid()))); });
        return p;
    }();
    return folder;
}

// Writes (once) an archive of `count` realistic cards and returns its path.
fs::path archiveOf(int count) {
    const fs::path path = benchFolder() / ("Magazzino-" + std::to_string(count) + ".pro");
    if (fs::exists(path)) return path;
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < count; ++i) {
        ProductRecord r;
        r.setText(ProductRecord::Codice, "ART-" + std::to_string(1000000 + (i * 7919) % 1000000));
        r.setText(ProductRecord::Costo, std::to_string(i % 500) + "," + std::to_string(10 + i % 90));
        r.setText(ProductRecord::Nome, std::string(kNames[i % kNames.size()]) + " " + std::to_string(i % 97));
        r.setText(ProductRecord::Giacenza, std::to_string(i % 300));
        r.setText(ProductRecord::Avviso, std::to_string(i % 20));
        r.setText(ProductRecord::UM, "Confezione da " + std::to_string(1 + i % 50) + " pezzi");
        r.setText(ProductRecord::Tipologia, kCategories[i % kCategories.size()]);
        r.setText(ProductRecord::Caratteristiche,
                  "Acciaio zincato, uso interno ed esterno, lotto " + std::to_string(i));
        r.setText(ProductRecord::Collocazione, "Scaffale " + std::to_string(i % 40));
        r.setText(ProductRecord::Ditta, "Forniture Industriali Bianchi S.r.l.");
        r.setText(ProductRecord::Agente, "Mario Rossi");
        r.setText(ProductRecord::Recapito, "055 1234567");
        r.setText(ProductRecord::Documento, "DDT " + std::to_string(i));
        r.setText(ProductRecord::Pagamento, "Bonifico 30 gg");
        r.setText(ProductRecord::DataSca, "31/12/2026");
        r.setText(ProductRecord::Note, "Nessuna nota");
        r.setText(ProductRecord::Prezzo, std::to_string(i % 700) + ",50");
        r.setText(ProductRecord::Pagato, i % 3 ? kFlagYes : kFlagNo);
        out.write(reinterpret_cast<const char*>(r.bytes().data()), static_cast<std::streamsize>(r.bytes().size()));
    }
    return path;
}

fs::path movementArchiveOf(int count) {
    const fs::path path = benchFolder() / ("Carichi-" + std::to_string(count) + ".odc");
    if (fs::exists(path)) return path;
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < count; ++i) {
        MovementRecord r;
        r.setText(MovementRecord::Fornitore,
                  "Forniture Industriali Bianchi S.r.l. - filiale " + std::to_string(i % 12));
        r.setText(MovementRecord::Recapiti, "055 1234567");
        r.setText(MovementRecord::NumDoc, "DDT " + std::to_string(i));
        r.setText(MovementRecord::DataDoc, "0" + std::to_string(1 + i % 9) + "/03/2024");
        r.setText(MovementRecord::Data, "1" + std::to_string(i % 9) + "/03/2024");
        r.setText(MovementRecord::Codice, "ART-" + std::to_string(1000000 + (i * 7919) % 1000000));
        r.setText(MovementRecord::Tipologia, kCategories[i % kCategories.size()]);
        r.setText(MovementRecord::Marca, kNames[i % kNames.size()]);
        r.setText(MovementRecord::Descrizione, "Acciaio zincato, uso interno ed esterno, lotto " + std::to_string(i));
        r.setText(MovementRecord::CostoUni, std::to_string(i % 500) + ",25");
        r.setText(MovementRecord::Quant, std::to_string(1 + i % 40));
        r.setText(MovementRecord::CostoTot, std::to_string((i % 500) * (1 + i % 40)) + ",00");
        r.setText(MovementRecord::Note, "Consegna regolare");
        r.setText(MovementRecord::DaSaldare, i % 4 ? kFlagNo : kFlagYes);
        out.write(reinterpret_cast<const char*>(r.bytes().data()), static_cast<std::streamsize>(r.bytes().size()));
    }
    return path;
}

const fs::path& programFolderOf(int count) {
    static std::map<int, fs::path> folders;
    auto [at, added] = folders.try_emplace(count, benchFolder() / ("programma-" + std::to_string(count)));
    if (added) {
        fs::create_directories(at->second);
        fs::create_hard_link(archiveOf(count), at->second / "Magazzino.pro");
    }
    return at->second;
}

// The floor: reading the same file in 1 MiB blocks and doing nothing with it.
double rawReadSeconds(const fs::path& path) {
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::vector<char> block(std::size_t{1} << 20);
    std::size_t sum = 0;
    ssize_t n = 0;
    off_t offset = 0;
    while ((n = ::pread(fd, block.data(), block.size(), offset)) > 0) {
        offset += n;
        sum += static_cast<unsigned char>(block[0]);
    }
    ::close(fd);
    benchmark::DoNotOptimize(sum);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double residentBytes() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

double peakResidentBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

}  // namespace scortavia::bench
