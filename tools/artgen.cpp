// artgen: draws one picture of data/pictures.txt and writes it as PNG or JPEG (run by the content build).
#include <cstdio>
#include <exception>
#include <string>

#include "tools/ArtImage.h"
#include "tools/ArtList.h"
#include "tools/ArtRecipes.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: artgen <data folder> <picture name> <output file>\n");
        return 2;
    }
    try {
        art::ArtContext context{argv[1]};
        std::vector<art::PictureEntry> list = art::readPictureList(context.dataDir + "/pictures.txt");
        const art::PictureEntry* entry = art::findPicture(list, argv[2]);
        if (entry == nullptr)
            throw art::ArtError(std::string("no picture named ") + argv[2] + " in the list");
        art::ArtImage image = art::runRecipe(*entry, context);
        bool sized = entry->frameWidth > 0 && entry->frameHeight > 0;
        if (sized && (image.width() != entry->sheetWidth() || image.height() != entry->sheetHeight())) {
            throw art::ArtError(entry->where + ": " + entry->name + " was drawn at " +
                                std::to_string(image.width()) + "x" + std::to_string(image.height()) +
                                ", the list promises " + std::to_string(entry->sheetWidth()) + "x" +
                                std::to_string(entry->sheetHeight()));
        }
        if (entry->format == "jpg") {
            art::writeJpeg(image, argv[3], 90);
        } else {
            art::writePng(image, argv[3], true);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        std::remove(argv[3]);
        return 1;
    }
    return 0;
}
