#include <cstdio>
#include <filesystem>
#include <string>

#include "shell/DesktopLauncher.h"
#include "storage/FileAccess.h"

// Writes the desktop entry of a program folder, the same one "Crea collegamento nel menu" writes, to
// the file given, or prints it: the build's copy for the desktop metadata, and one for any folder a
// program is laid out in.
int main(int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "uso: %s <cartella del programma> <nome dell'eseguibile> [file da scrivere]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::absolute(argv[1]);
    const std::string entry = scortavia::desktopEntry({folder / argv[2], folder}, "Scortavia");
    if (argc == 3) {
        std::fputs(entry.c_str(), stdout);
        return 0;
    }
    const std::filesystem::path output = argv[3];
    std::error_code ignored;
    std::filesystem::create_directories(output.parent_path(), ignored);
    if (const scortavia::Status written = scortavia::replaceFileContents(output, entry); !written) {
        std::fprintf(stderr, "%s: %s\n", argv[0], written.error().c_str());
        return 1;
    }
    return 0;
}
