// The screen mock-ups: still pictures of the main screens composed from the built pictures and the layout.
#pragma once

#include <map>
#include <string>

#include "tools/ArtImage.h"
#include "tools/ArtList.h"

namespace art {

// Draws with the game's own picture formats: sheets by frame, bitmap fonts by their metrics tables and
// numbers from their strips, so a mock-up also proves those pictures are usable.
class MockupCanvas {
public:
    MockupCanvas(const std::string& dataDir, const std::string& pictureDir);

    ArtImage& screen() { return screen_; }
    const Layout& layout() const { return layout_; }
    const ArtImage& picture(const std::string& name);
    const PictureEntry& entry(const std::string& name) const;

    void clear();
    void draw(const std::string& name, int x, int y, int frame = 0, float opacity = 1.0f);
    // Draws `name` clipped to the given width, from its left edge (timer bars, the load bar).
    void drawClipped(const std::string& name, int x, int y, int width, int frame = 0);
    // Draws a picture with the alpha of another picture (the backdrops and their masks).
    void drawMasked(const std::string& name, const std::string& mask, int x, int y);
    // `utf8` is converted to Windows-1252, the code page of the game's texts.
    void text(const std::string& font, const std::string& utf8, int x, int y, int align = 0);
    // A number from a strip: 15 cells (with separators) or 10 digits; right-aligned at x.
    void number(const std::string& strip, long value, int x, int y, bool thousands = true);
    void dim(float opacity);
    // Layout row `name` (x, y) plus an offset.
    int lx(const std::string& name, int index = 0) const { return layout_.get(name, index + 1)[index]; }

private:
    std::string pictureDir_;
    std::vector<PictureEntry> list_;
    Layout layout_;
    std::map<std::string, ArtImage> cache_;
    ArtImage screen_;
};

// The data folder of the board shown in play.
void setMockupDataDir(const std::string& dir);

void mockLoading(MockupCanvas& c);
void mockMainMenu(MockupCanvas& c);
void mockLevelMap(MockupCanvas& c);
void mockLevel(MockupCanvas& c);
void mockLevelComplete(MockupCanvas& c);
void mockDialog(MockupCanvas& c);
void mockBonus(MockupCanvas& c);

}  // namespace art
