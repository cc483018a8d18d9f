// GenericDialog: buttons by mode, the message laid out by its kind, presses passed up and closing.
#include "game/GenericDialog.h"

#include <algorithm>

#include "sprite/NewFontSprite.h"

LANG_DEFINE_CLASS_RECORD(GenericDialog);

namespace {

// A message that is neither a question nor the duplicate-name notice is set as the question is,
// wrapped to the notice's width; a name wider than kNameWidth is cut short with an ellipsis.
constexpr int kMessageWidth = 320;
constexpr int kNameWidth = 310;
// Between the message and the name, and above the buttons.
constexpr int kNameGap = 8;
constexpr int kButtonGap = 6;

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

    lang::Ref<sprite::NewFontSprite> text = font("messageText");
    if (text) {
        text->setText(message.c_str());
        if (message.rfind("Are you sure", 0) == 0)
            layOut(text.get(), 2, -2, 310);
        else if (message.rfind("That name already exists", 0) == 0)
            layOut(text.get(), -3, 1, 320);
        else
            layOut(text.get(), 2, -2, kMessageWidth);
        text->setVisible(true);
    }
    lang::Ref<sprite::NewFontSprite> shownName = font("messageName");
    if (shownName) {
        shownName->setColorTransform(128, 10, 120, 10);
        shownName->setText(name.c_str());
        layOut(shownName.get(), 2, -2, 310);
        // A name that is one long word still fits the panel.
        shownName->truncateToWidth(kNameWidth);
        shownName->setVisible(!name.empty());
    }
    stackMessage(text.get(), shownName.get());
    setVisible(true);
}

void GenericDialog::stackMessage(sprite::NewFontSprite* text, sprite::NewFontSprite* name) {
    // The message and, below it, the name form one block between the title and the buttons, centred
    // in that space; a block taller than the space starts right under the title.
    int top = text != nullptr ? text->getY() : 0;
    if (lang::Ref<sprite::Sprite> titles = child("genericTitles"))
        top = titles->getY() + titles->getHeight();
    int bottom = getHeight();
    for (const char* b : {"b2Cancel", "b1Delete", "b1OK", "b1Clear"}) {
        lang::Ref<sprite::ButtonSprite> shown = button(b);
        if (shown && shown->isVisible())
            bottom = std::min(bottom, shown->getY() - kButtonGap);
    }
    const int textHeight = text != nullptr ? text->getHeight() : 0;
    const bool withName = name != nullptr && name->isVisible();
    const int block = textHeight + (withName ? kNameGap + name->getHeight() : 0);
    const int y = top + std::max(0, (bottom - top - block) / 2);
    if (text != nullptr)
        text->setLocation(text->getX(), y);
    if (withName)
        name->setLocation(name->getX(), y + textHeight + kNameGap);
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
