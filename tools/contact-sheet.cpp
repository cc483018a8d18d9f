// contact-sheet: one review picture per group of data/pictures.txt, every picture shown with its name.
#include <algorithm>
#include <cstdio>
#include <map>

#include "tools/ArtImage.h"
#include "tools/ArtList.h"
#include "tools/SvgRender.h"

namespace {

using art::ArtImage;
using art::Rgba;

// Shrinks by an integer factor with a box filter (straight alpha weighted by coverage).
ArtImage shrink(const ArtImage& src, int factor) {
    if (factor <= 1)
        return src;
    ArtImage out(std::max(1, src.width() / factor), std::max(1, src.height() / factor));
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const Rgba& p = src.at(std::min(src.width() - 1, x * factor + i),
                                           std::min(src.height() - 1, y * factor + j));
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            }
            if (a > 0) {
                out.at(x, y) = Rgba{static_cast<uint8_t>(r / a), static_cast<uint8_t>(g / a),
                                    static_cast<uint8_t>(b / a), static_cast<uint8_t>(a / (factor * factor))};
            }
        }
    }
    return out;
}

ArtImage label(const std::string& text, int width) {
    std::string svg = art::svgDocument(width, 16,
                                       "<text x=\"2\" y=\"12\" font-family=\"DejaVu Sans\" font-size=\"11\" "
                                       "fill=\"#f8f0d8\">" +
                                           art::xmlText(text) + "</text>");
    return art::renderSvg(svg, width, 16, text);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: contact-sheet <data folder> <picture folder> <output folder>\n");
        return 2;
    }
    try {
        std::string pictures = argv[2], output = argv[3];
        std::vector<art::PictureEntry> list = art::readPictureList(std::string(argv[1]) + "/pictures.txt");
        std::map<std::string, std::vector<const art::PictureEntry*>> groups;
        for (const art::PictureEntry& entry : list)
            groups[entry.group].push_back(&entry);
        const int sheetWidth = 1600, margin = 10;
        for (auto& [group, entries] : groups) {
            // Lay the pictures out in rows, shrinking any wider than the sheet or taller than 300 pixels.
            struct Placed {
                ArtImage picture;
                std::string caption;
                int x, y;
            };
            std::vector<Placed> placed;
            int x = margin, y = margin, rowHeight = 0;
            for (const art::PictureEntry* entry : entries) {
                ArtImage picture = art::readPicture(pictures + "/" + entry->name + "." + entry->format);
                int factor = 1;
                while (picture.width() / factor > sheetWidth - 2 * margin || picture.height() / factor > 300)
                    ++factor;
                picture = shrink(picture, factor);
                std::string caption = entry->name;
                if (entry->frameCount() > 1)
                    caption += " (" + std::to_string(entry->frameCount()) + ")";
                int w = std::max(picture.width(), static_cast<int>(caption.size()) * 7);
                if (x + w > sheetWidth - margin) {
                    x = margin;
                    y += rowHeight + margin;
                    rowHeight = 0;
                }
                placed.push_back({picture, caption, x, y});
                x += w + margin;
                rowHeight = std::max(rowHeight, picture.height() + 18);
            }
            ArtImage sheet(sheetWidth, y + rowHeight + margin);
            for (int j = 0; j < sheet.height(); ++j) {
                for (int i = 0; i < sheet.width(); ++i) {
                    bool dark = ((i / 8) + (j / 8)) % 2 == 0;
                    sheet.at(i, j) = dark ? Rgba{58, 66, 54, 255} : Rgba{74, 82, 68, 255};
                }
            }
            for (const Placed& p : placed) {
                sheet.blend(p.picture, p.x, p.y);
                sheet.blend(label(p.caption, static_cast<int>(p.caption.size()) * 7 + 6), p.x,
                            p.y + p.picture.height() + 1);
            }
            art::writePng(sheet, output + "/contact-" + group + ".png", false);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contact-sheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
