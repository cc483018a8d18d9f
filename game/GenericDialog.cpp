// GenericDialog: buttons by mode, the message laid out by its kind, presses passed up and closing.
#include "game/GenericDialog.h"

#include "sprite/NewFontSprite.h"

LANG_DEFINE_CLASS_RECORD(GenericDialog);

namespace {

// The two spacing settings and the wrap width of a message, chosen by how it begins.
void layOut(sprite::NewFontSprite* text, int letterSpacing, int lineSpacing, int wrapWidth) {
    text->setLetterSpacing(letterSpacing);
    text->setLineSpacing(lineSpacing);
    text->wrapToWidth(wrapWidth);
}

}  // namespace

GenericDialog::GenericDialog() = default;
GenericDialog::~GenericDialog() = default;

void GenericDialog::setUpDialog() {
    for (const char* name : {"b2Cancel", "b1Delete", "b1OK", "b1Clear"})
        stopFrameAnimation(button(name).get());
}

void GenericDialog::setConfirmCommands(const char* confirm, const char* cancel) {
    confirmCommand_ = confirm != nullptr ? confirm : "";
    cancelCommand_ = cancel != nullptr ? cancel : "";
}

void GenericDialog::showMessage(int mode, int titleFrame, const std::string& message, const std::string& name) {
    mode_ = mode == kConfirm ? kConfirm : kNotice;
    if (lang::Ref<sprite::AnimateSprite> titles = animated("genericTitles"))
        titles->setFrame(titleFrame);
    const bool confirm = mode_ == kConfirm;
    for (const char* b : {"b2Cancel", "b1Delete"})
        showEnabled(button(b).get(), confirm, confirm);
    showEnabled(button("b1OK").get(), !confirm, !confirm);
    showEnabled(button("b1Clear").get(), false, false);

    if (lang::Ref<sprite::NewFontSprite> text = font("messageText")) {
        text->setText(message.c_str());
        if (message.rfind("Are you sure", 0) == 0)
            layOut(text.get(), 2, -2, 310);
        else if (message.rfind("That name already exists", 0) == 0)
            layOut(text.get(), -3, 1, 320);
        text->setVisible(true);
    }
    if (lang::Ref<sprite::NewFontSprite> shownName = font("messageName")) {
        shownName->setColorTransform(128, 10, 120, 10);
        shownName->setText(name.c_str());
        layOut(shownName.get(), 2, -2, 310);
        shownName->setVisible(!name.empty());
    }
    setVisible(true);
}

int GenericDialog::pressButton(const lang::String& name) {
    const std::string* given = nullptr;
    if (name.equals("b1Delete"))
        given = &confirmCommand_;
    else if (name.equals("b2Cancel"))
        given = &cancelCommand_;
    else if (!name.equals("b1OK") && !name.equals("b1Clear"))
        return kHandled;
    setVisible(false);
    if (given != nullptr && !given->empty())
        command_.assign(given->c_str());
    else
        command_ = name;
    return kCommand;
}
