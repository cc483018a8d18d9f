// InstructDialog: counting the pages, the version line, and turning pages with fades.
#include "game/InstructDialog.h"

#include <string>

#include "game/GamePlayReport.h"
#include "sprite/AnimateSprite.h"
#include "sprite/TextSprite.h"
#include "window/Font.h"

LANG_DEFINE_CLASS_RECORD(InstructDialog);

namespace {

constexpr int kVersionFontSize = 25;
constexpr int kVersionMargin = 10;

sprite::AnimateSprite* asAnimated(sprite::Sprite* s) {
    return s != nullptr && s->instanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(s) : nullptr;
}

}  // namespace

InstructDialog::InstructDialog() = default;
InstructDialog::~InstructDialog() = default;

void InstructDialog::setUpDialog() {
    pageCount_ = 0;
    while (pageSprite(pageCount_ + 1))
        ++pageCount_;
    if (!child("version")) {
        auto version = lang::make<sprite::TextSprite>();
        version->setFont(lang::make<window::Font>(window::defaultFontFace(), kVersionFontSize).get());
        version->setColors(0xFFFFFF, 0x000000);
        version->setText(kReportVersion);
        // The data list may place the line; by default it sits in the bottom-left corner.
        version->setLocation(dataAt(0, kVersionMargin), dataAt(1, getHeight() - kVersionMargin));
        version->setVisible(true);
        addChild("version", version.get());
    }
    open();
}

lang::Ref<sprite::Sprite> InstructDialog::pageSprite(int page) {
    return child(("pg" + std::to_string(page)).c_str());
}

void InstructDialog::open() {
    page_ = 1;
    for (int p = 1; p <= pageCount_; ++p) {
        lang::Ref<sprite::Sprite> s = pageSprite(p);
        if (!s)
            continue;
        // A fade still running from the last visit would otherwise finish (and hide) after this.
        if (sprite::AnimateSprite* a = asAnimated(s.get()))
            a->fadeTo(p == 1 ? 128 : 0, 1, 0);
        if (p == 1)
            s->setColorTransform(128, 128, 128, 128);
        s->setVisible(p == 1);
    }
    updateButtons();
}

void InstructDialog::turnTo(int page) {
    if (page < 1 || page > pageCount_ || page == page_)
        return;
    lang::Ref<sprite::Sprite> from = pageSprite(page_);
    lang::Ref<sprite::Sprite> to = pageSprite(page);
    page_ = page;
    if (from) {
        if (sprite::AnimateSprite* a = asAnimated(from.get()))
            a->fadeTo(0, kFadeFrames, 1);
        else
            from->setVisible(false);
    }
    if (to) {
        if (sprite::AnimateSprite* a = asAnimated(to.get())) {
            a->setColorTransform(0, 128, 128, 128);
            a->fadeTo(128, kFadeFrames, 0);
        } else {
            to->setColorTransform(128, 128, 128, 128);
        }
        to->setVisible(true);
    }
    updateButtons();
}

void InstructDialog::updateButtons() {
    nextEnabled_ = page_ < pageCount_;
    enable(button("bInstructionsNext").get(), nextEnabled_);
    enable(button("bInstructionsBack").get(), page_ > 1);
}

const char* InstructDialog::defaultButtonName() const {
    return nextEnabled_ ? "bInstructionsNext" : "bInstructionsClose";
}

int InstructDialog::pressButton(const lang::String& name) {
    if (name.equals("bInstructionsNext")) {
        turnTo(page_ + 1);
        return kHandled;
    }
    if (name.equals("bInstructionsBack")) {
        turnTo(page_ - 1);
        return kHandled;
    }
    if (name.equals("bInstructionsClose")) {
        setVisible(false);
        command_ = name;
        return kCommand;
    }
    return kHandled;
}

int InstructDialog::keyPressed(window::Event* event) {
    const char* name = nullptr;
    if (event->key == window::Event::kRight)
        name = "bInstructionsNext";
    else if (event->key == window::Event::kLeft)
        name = "bInstructionsBack";
    if (name == nullptr)
        return kNotHandled;
    if (isEnabled(button(name).get()))
        pressButton(lang::String(name));
    return kHandled;
}
