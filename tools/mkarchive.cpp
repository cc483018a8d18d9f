// mkarchive: packs files into a data archive, in the layout lang::ResourceFileHeader reads.
//
//   mkarchive <manifest> <output>
//
// The manifest's form and the archive's layout are described in tools/ArchiveFormat.h. The output is
// written to a temporary file and renamed, so a failure leaves no half archive behind.
#include <iostream>

#include "tools/ArchiveFormat.h"

using archiveformat::Failure;
using archiveformat::buildArchive;
using archiveformat::readManifest;
using archiveformat::writeFile;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mkarchive <manifest> <output>\n";
        return 2;
    }
    try {
        writeFile(argv[2], buildArchive(readManifest(argv[1])));
    } catch (const Failure& failure) {
        std::cerr << "mkarchive: " << failure.message << "\n";
        return 1;
    }
    return 0;
}
