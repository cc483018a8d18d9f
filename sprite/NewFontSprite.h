// sprite::NewFontSprite: text drawn with a bitmap font, with colours, styles, wrapping and editing.
#pragma once

#include <string>
#include <vector>

#include "sprite/AnimateSprite.h"
#include "sprite/GlyphTable.h"
#include "window/Event.h"

namespace sprite {

// The font is a pair of images: the glyph pictures (the sprite's image) and the metrics image (`font`,
// see GlyphTable). Per character, style bits 0-1 choose an alternative font (1 to 3, when set), bit 2
// underlines and bit 3 strikes through; colour levels come from the per-character colours (packed
// alpha, red, green, blue) or the default, scaled by the sprite's own levels. '\n' breaks lines.
// An editable text shows a blinking caret (a bar, or the '_' glyph in overwrite mode) and takes keys.
class NewFontSprite : public AnimateSprite {
public:
    static constexpr int kAlignLeft = 0;
    static constexpr int kAlignCentre = 1;
    static constexpr int kAlignRight = 2;
    static constexpr char kEllipsis = static_cast<char>(0x85);
    static constexpr int kBlinkFrames = 20;

    NewFontSprite();
    ~NewFontSprite() override;

    LANG_CLASS_NAME(NewFontSprite, AnimateSprite)
    LANG_DECLARE_CLASS_RECORD(NewFontSprite);

    // Images 0 glyph pictures, 1 metrics. Numbers 0-1 position, 2 alignment, 3 colour levels (packed
    // alpha, red, green, blue; the default levels when missing), 4 line spacing, 5 maximum length,
    // 6 letter spacing.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    void paint(window::Graphics* g) override;
    // Caret blink, then the animation step.
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    util::RectangleNM getBounds() override;
    void setColorTransform(int alpha, int red, int green, int blue) override;
    Sprite* clone() override;
    void unloadImage() override;
    void reloadImage() override;

    // Applies an editing key: backspace, left, right, delete, or a character 32..255 (not 127) to
    // insert. maxLength 0 means no limit; filter admits only the characters a name may hold. Answers
    // whether the key changed the text or the caret.
    virtual bool keyInput(window::Event* event, int maxLength, bool filter);
    // Cuts the text back and ends it with the ellipsis until it fits (or only the ellipsis is left).
    virtual void truncateToWidth(int limit);
    // Turns spaces into line breaks so that lines fit; a word wider than the limit stays whole.
    virtual void wrapToWidth(int limit);

    void setText(const char* text);
    const lang::String& getText() const { return text_; }
    void setEditable(bool on);
    bool isEditable() const { return editable_; }
    void setOverwrite(bool on);
    void setAlign(int align);
    void setLetterSpacing(int spacing);
    void setLineSpacing(int spacing);
    void setAlignEachLine(bool on);
    // Measures the text and sets the size (the cached picture's size when there is one).
    void measure();
    // The width of the line that starts at startIndex.
    int lineWidth(int startIndex);
    // The picture and metrics images used for the character at index (no reference for the caller).
    window::Image* glyphSourceFor(int index);
    window::Image* glyphTableFor(int index);

    // The metrics image of the main font (referenced).
    void setFont(window::Image* metrics);
    // Alternative font n (1 to 3): its glyph pictures and metrics.
    void setAltFont(int n, window::Image* picture, window::Image* metrics);
    void setCharColors(std::vector<int32_t> colors);
    void setCharStyles(std::vector<int32_t> styles);
    void setDefaultColor(int32_t packedLevels);
    void setCaretColor(uint32_t rgb) { caretColor_ = window::Color(static_cast<int32_t>(rgb)); }
    int getCaretPos() const { return caretPos_; }
    void setCaretPos(int pos);
    int getMaxLength() const { return maxLength_; }
    int getOverhang() const { return overhang_; }
    int32_t getColorLevels() const { return colorLevels_; }
    bool isCaretVisible() const { return caretVisible_; }
    // A prerendered picture drawn instead of the text (null drops it and restores the saved position).
    void setCachedImage(window::Image* picture);

    struct Metrics {
        int width = 0;
        int height = 0;
        int overhang = 0;
        int lines = 0;
    };
    // Measures bytes [from, to) of text as if they were the sprite's text from index `from`.
    Metrics measureText(const std::string& text, size_t from, size_t to);

private:
    GlyphTable tableFor(int index);
    int32_t levelsFor(int index) const;
    int alignedX(int lineWidth) const;
    // Changes the text with the dirty marks and the re-measure around it.
    void replaceText(const std::string& text, int caret);

    lang::String text_;
    int32_t align_ = kAlignLeft;
    lang::Ref<window::Image> font_;
    int32_t caretWidth_ = 0;
    int32_t overhang_ = 0;
    int32_t letterSpacing_ = 0;
    int32_t lineSpacing_ = 0;
    int32_t maxLength_ = 0;
    window::Color caretColor_;
    bool caretVisible_ = false;
    bool textSet_ = false;
    bool editable_ = false;
    bool overwrite_ = false;
    int32_t caretPos_ = 0;
    int32_t caretBarWidth_ = 1;
    bool alignEachLine_ = true;
    lang::Ref<window::Image> altFonts_[3];
    lang::Ref<window::Image> altTables_[3];
    std::vector<int32_t> charColors_;
    std::vector<int32_t> charStyles_;
    int32_t defaultColor_ = static_cast<int32_t>(0x80808080u);
    int32_t colorLevels_ = static_cast<int32_t>(0x80808080u);
    lang::Ref<window::Image> cachedImage_;
    int32_t savedX_ = -1;
    int32_t savedY_ = -1;
};

}  // namespace sprite
