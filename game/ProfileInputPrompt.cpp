// ProfileInputPrompt: showing the prompt, editing the name, and the keys that submit or cancel it.
#include "game/ProfileInputPrompt.h"

#include "sprite/NewFontSprite.h"

LANG_DEFINE_CLASS_RECORD(ProfileInputPrompt);

ProfileInputPrompt::ProfileInputPrompt() = default;
ProfileInputPrompt::~ProfileInputPrompt() = default;

void ProfileInputPrompt::setUpDialog() {
    if (lang::Ref<sprite::ButtonSprite> submit = button("submitNewProfile"))
        submitX_ = submit->getX();
    if (lang::Ref<sprite::NewFontSprite> text = font("name"))
        text->setEditable(true);
}

void ProfileInputPrompt::showPrompt(bool profilesExist) {
    lang::Ref<sprite::ButtonSprite> cancel = button("cancelAddProfile");
    lang::Ref<sprite::ButtonSprite> submit = button("submitNewProfile");
    showEnabled(cancel.get(), profilesExist, profilesExist);
    if (submit) {
        int x = profilesExist ? submitX_ : (getWidth() - submit->getWidth()) / 2;
        submit->setLocation(x, submit->getY());
        submit->setVisible(true);
    }
    if (lang::Ref<sprite::NewFontSprite> text = font("name")) {
        text->setText("");
        text->setCaretPos(0);
        text->setVisible(true);
    }
    updateSubmit();
    setVisible(true);
}

std::string ProfileInputPrompt::name() {
    lang::Ref<sprite::NewFontSprite> text = font("name");
    return text ? std::string(text->getText().view()) : std::string();
}

void ProfileInputPrompt::updateSubmit() {
    submitEnabled_ = !name().empty();
    enable(button("submitNewProfile").get(), submitEnabled_);
}

const char* ProfileInputPrompt::defaultButtonName() const {
    return submitEnabled_ ? "submitNewProfile" : "cancelAddProfile";
}

int ProfileInputPrompt::keyPressed(window::Event* event) {
    if (lang::Ref<sprite::NewFontSprite> text = font("name"))
        text->keyInput(event, kMaxNameLength, true);
    updateSubmit();
    // Every other key belongs to the name, used or not, while the prompt is up.
    return kHandled;
}
