// textgen: turns data/text/texts.txt into one file per text entry, as the archive holds them.
//
//   textgen <texts.txt> <output folder>
//
// Each [ID] becomes <output folder>/<ID>.txt: its UTF-8 text and a closing zero byte. A file whose bytes
// are already right is left alone, so an unchanged text does not make the archive repack.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/TextTable.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: textgen <texts.txt> <output folder>\n";
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[2]);
        for (const texts::TextEntry& entry : texts::readTexts(argv[1])) {
            const std::string path = std::string(argv[2]) + "/" + entry.id + ".txt";
            const std::string bytes = texts::entryBytes(entry);
            std::ifstream existing(path, std::ios::binary);
            std::ostringstream old;
            if (existing) {
                old << existing.rdbuf();
                if (old.str() == bytes)
                    continue;
            }
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!out.flush())
                throw std::runtime_error("cannot write " + path);
        }
    } catch (const std::exception& e) {
        std::cerr << "textgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
