// MenuMapDialog: markers, selection rules, the console's arrows and numbers, scrolling and the intro.
#include "game/MenuMapDialog.h"

#include <algorithm>
#include <string>

#include "game/LevelNumbers.h"
#include "game/PlayerData.h"
#include "sprite/AnimateSprite.h"
#include "sprite/NumberSprite.h"

LANG_DEFINE_CLASS_RECORD(MenuMapDialog);

namespace {

constexpr int kPulseFrames = 20;

}  // namespace

MenuMapDialog::MenuMapDialog() = default;
MenuMapDialog::~MenuMapDialog() = default;

void MenuMapDialog::setUpDialog() {
    offsetX_ = dataAt(0);
    offsetY_ = dataAt(1);
    if (lang::Ref<sprite::Sprite> map = child("map"))
        mapOriginX_ = map->getX();
    for (const char* name : {"mapconsolestagenumber", "mapconsolelevelnumber"})
        if (lang::Ref<sprite::NumberSprite> n = number(name))
            n->setValue(1);
    show(child("FrogShadow").get(), true);
    show(child("selectedlevelmarker").get(), true);
    show(child("starteditor").get(), false);
    markers_.clear();
    for (int level = 1; level <= kLevels; ++level) {
        Marker m;
        m.sprite = child(("levelmarker" + std::to_string(level)).c_str());
        if (m.sprite) {
            // Stored in the map picture's coordinates, 5 left of and 10 above the script's place.
            m.x = m.sprite->getX() - 5 - mapOriginX_;
            m.y = m.sprite->getY() - 10;
            m.sprite->setLocation(mapOriginX_ + m.x, m.y);
            m.sprite->setVisible(false);
        }
        markers_.push_back(std::move(m));
    }
}

int MenuMapDialog::lastSelectable() const {
    return std::min(highest_ + 1, kLevels);
}

void MenuMapDialog::prepare() {
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    if (data == nullptr) {
        prepareFor(highest_, selected_);
        return;
    }
    prepareFor(data->highestLevel(), data->selectedLevel());
}

void MenuMapDialog::prepareFor(int highestLevel, int selected) {
    highest_ = std::clamp(highestLevel, 0, kLevels);
    for (int level = 1; level <= kLevels; ++level)
        show(markers_.empty() ? nullptr : markers_[static_cast<size_t>(level - 1)].sprite.get(), canSelect(level));
    selected_ = std::clamp(selected, 1, lastSelectable());
    scrollDirection_ = 0;
    centreOn(selected_);
    enable(button("bstartgame").get(), true);
    updateArrowsAndNumbers();
}

bool MenuMapDialog::selectLevel(int level, bool scroll) {
    if (!canSelect(level))
        return false;
    selected_ = level;
    storeSelection();
    // The arrows scroll to the level they select; a marker pressed on the map stays where it is, so
    // that a second press of a double click lands on the same marker.
    if (scroll)
        centreOn(level);
    else
        placeMap(mapX());
    enable(button("bstartgame").get(), true);
    updateArrowsAndNumbers();
    return true;
}

void MenuMapDialog::storeSelection() {
    if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr)
        data->setSelectedLevel(selected_);
}

void MenuMapDialog::updateArrowsAndNumbers() {
    enable(button("mapconsolebackarrow").get(), selected_ > 1);
    enable(button("mapconsoleforwardarrow").get(), selected_ < lastSelectable());
    if (lang::Ref<sprite::NumberSprite> n = number("mapconsolestagenumber"))
        n->setValue(levels::stageOf(selected_));
    if (lang::Ref<sprite::NumberSprite> n = number("mapconsolelevelnumber"))
        n->setValue(levels::levelInStage(selected_));
}

int MenuMapDialog::mapX() {
    lang::Ref<sprite::Sprite> map = child("map");
    return map ? map->getX() : mapOriginX_;
}

void MenuMapDialog::placeMap(int x) {
    x = std::clamp(x, kMapMinX, 0);
    if (lang::Ref<sprite::Sprite> map = child("map"))
        map->setLocation(x, map->getY());
    for (const Marker& m : markers_)
        if (m.sprite)
            m.sprite->setLocation(x + m.x, m.y);
    if (selected_ >= 1 && selected_ <= static_cast<int>(markers_.size())) {
        const Marker& m = markers_[static_cast<size_t>(selected_ - 1)];
        for (const char* name : {"selectedlevelmarker", "FrogShadow"})
            if (lang::Ref<sprite::Sprite> s = child(name))
                s->setLocation(x + m.x + offsetX_, m.y + offsetY_);
    }
}

void MenuMapDialog::centreOn(int level) {
    int markerX = 0;
    if (level >= 1 && level <= static_cast<int>(markers_.size()))
        markerX = markers_[static_cast<size_t>(level - 1)].x;
    placeMap(400 - markerX);
}

int MenuMapDialog::markerAt(int x, int y) {
    for (int level = kLevels; level >= 1; --level) {
        if (level > static_cast<int>(markers_.size()))
            continue;
        sprite::Sprite* s = markers_[static_cast<size_t>(level - 1)].sprite.get();
        if (s != nullptr && s->isVisible() && s->containsPoint(x, y))
            return level;
    }
    return 0;
}

int MenuMapDialog::mouseDown(window::Event* event) {
    clickCount_ = event != nullptr ? event->clickCount : 0;
    int answer = GameDialog::mouseDown(event);
    if (answer != kHandled || event == nullptr || !isVisible())
        return answer;
    // Markers are pictures, not buttons: the dialog looks under the point itself.
    const int x = event->x - getX(), y = event->y - getY();
    lang::Ref<sprite::Sprite> chosen = child("selectedlevelmarker");
    if (chosen && chosen->isVisible() && chosen->containsPoint(x, y))
        return pressButton(lang::String("selectedlevelmarker"));
    int level = markerAt(x, y);
    if (level > 0)
        return pressButton(lang::String(("levelmarker" + std::to_string(level)).c_str()));
    return answer;
}

int MenuMapDialog::mouseUp(window::Event* event) {
    // A scroll runs while an arrow is held.
    scrollDirection_ = 0;
    return GameDialog::mouseUp(event);
}

int MenuMapDialog::pressButton(const lang::String& name) {
    if (name.equals("scrollmapright") || name.equals("scrollmapleft")) {
        scrollDirection_ = name.equals("scrollmapright") ? 1 : -1;
        return kHandled;
    }
    if (name.equals("mapconsolebackarrow")) {
        if (selected_ > 1)
            selectLevel(selected_ - 1);
        return kHandled;
    }
    if (name.equals("mapconsoleforwardarrow")) {
        if (selected_ < lastSelectable())
            selectLevel(selected_ + 1);
        return kHandled;
    }
    if (name.equals("selectedlevelmarker")) {
        storeSelection();
        if (clickCount_ >= 1) {
            command_.assign("bstartgame");
            return kCommand;
        }
        return kHandled;
    }
    if (name.startsWith("levelmarker")) {
        int level = std::atoi(name.chars() + 11);
        if (!selectLevel(level, false))
            return kHandled;
        if (clickCount_ == 2) {
            command_.assign("bstartgame");
            return kCommand;
        }
        return kHandled;
    }
    if (name.equals("bstartgame"))
        storeSelection();
    return GameDialog::pressButton(name);
}

void MenuMapDialog::pointerAt(int x, int y) {
    if (x < 0 || y < 0 || x >= kAreaWidth || y >= kAreaHeight)
        scrollDirection_ = 0;
}

void MenuMapDialog::markLevelCompleted(int level) {
    if (level < 1 || level > static_cast<int>(markers_.size()))
        return;
    sprite::Sprite* s = markers_[static_cast<size_t>(level - 1)].sprite.get();
    if (s == nullptr || !s->instanceOf("AnimateSprite"))
        return;
    auto* marker = static_cast<sprite::AnimateSprite*>(s);
    marker->setVisible(true);
    marker->setColorTransform(0, 128, 128, 128);
    marker->fadeTo(128, 25, 0);
}

bool MenuMapDialog::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (isVisible()) {
        if (introCountdown_ > 0)
            --introCountdown_;
        // The scroll arrows pulse between two levels.
        if (pulseFrame_++ % kPulseFrames == 0) {
            const int target = (pulseFrame_ / kPulseFrames) % 2 == 0 ? 128 : 90;
            for (const char* name : {"scrollmapright", "scrollmapleft"})
                if (lang::Ref<sprite::ButtonSprite> b = button(name))
                    b->fadeTo(target, kPulseFrames, 0);
        }
        if (scrollDirection_ != 0) {
            const int x = mapX();
            const int target = scrollDirection_ > 0 ? kMapMinX : 0;
            const int step = std::min(kScrollStep, std::abs(target - x));
            placeMap(x + (scrollDirection_ > 0 ? -step : step));
            if (mapX() == target)
                scrollDirection_ = 0;
        }
    }
    return GameDialog::update(frame, out, region);
}
