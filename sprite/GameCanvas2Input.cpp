// sprite::GameCanvas2: delivery of queued events and their routing to dialogs and buttons.
#include "sprite/ButtonSprite.h"
#include "sprite/DialogSprite.h"
#include "sprite/GameCanvas2.h"
#include "window/Cursor.h"

namespace sprite {

namespace {

DialogSprite* visibleDialog(Sprite* sprite) {
    if (sprite == nullptr || !sprite->instanceOf("DialogSprite") || !sprite->isVisible())
        return nullptr;
    return static_cast<DialogSprite*>(sprite);
}

ButtonSprite* asButton(Sprite* sprite) {
    return sprite != nullptr && sprite->instanceOf("ButtonSprite") ? static_cast<ButtonSprite*>(sprite) : nullptr;
}

}  // namespace

bool GameCanvas2::dispatchEvent() {
    window::Event* event = currentEvent();
    if (event == nullptr)
        return true;
    lang::Ref<lang::Object> target;
    lang::String command;
    bool act = false;
    switch (event->id) {
    case window::Event::kMouseDown:
        act = onMouseDown(event, &target, &command);
        break;
    case window::Event::kMouseMove:
    case window::Event::kMouseDrag:
        act = onMouseMove(event, &target, &command);
        break;
    case window::Event::kMouseUp:
        act = onMouseUp(event, &target, &command);
        break;
    case window::Event::kKeyDown:
        act = onKeyDown(event, &target, &command);
        break;
    case window::Event::kKeyUp:
        act = onKeyUp(event, &target, &command);
        break;
    case window::Event::kMouseWheel:
        act = onMouseWheel(event, &target, &command);
        break;
    case window::Event::kAction:
        if (event->arg && event->arg->instanceOf("String")) {
            command = *static_cast<lang::String*>(event->arg.get());
            target = event->source;
            act = true;
        }
        break;
    default:
        break;
    }
    if (act)
        handleAction(target.get(), command);
    return true;
}

bool GameCanvas2::refineDialogCommand(DialogSprite* dialog, lang::String* command) {
    lang::String text(dialog->command());
    lang::String refined;
    switch (dialog->refineCommand(&refined, text)) {
    case 0:
        *command = text;
        return true;
    case 1:
        *command = refined;
        return true;
    case 2:
        command->assign("CLOSED");
        return true;
    default:
        command->assign("");
        return false;
    }
}

bool GameCanvas2::onMouseDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    for (int i = sceneSize() - 1; i >= 0; --i) {
        lang::Ref<Sprite> sprite = spriteAt(i);
        if (DialogSprite* dialog = visibleDialog(sprite.get())) {
            const int answer = dialog->mouseDown(event);
            if (answer == DialogSprite::kNotHandled)
                continue;
            if (answer == DialogSprite::kCommand) {
                if (!refineDialogCommand(dialog, command))
                    return false;
            } else {
                command->assign(answer == DialogSprite::kClosed ? "CLOSED" : "");
            }
            *target = sprite;
            return true;
        }
        ButtonSprite* button = asButton(sprite.get());
        if (button == nullptr || !button->pressTest(event->x, event->y))
            continue;
        command->assign(button->getName());
        if (button->press()) {
            *target = sprite;
            return true;
        }
        // Fires on release: it now shows its pressed look.
        return false;
    }
    return false;
}

// The visible dialogs top-down: the first that answers the event decides; a modal dialog that does not
// use it swallows it and ends the walk.
bool GameCanvas2::routeToDialogs(int (DialogSprite::*handler)(window::Event*), window::Event* event,
                                 lang::Ref<lang::Object>* target, lang::String* command) {
    for (int i = sceneSize() - 1; i >= 0; --i) {
        lang::Ref<Sprite> sprite = spriteAt(i);
        DialogSprite* dialog = visibleDialog(sprite.get());
        if (dialog == nullptr)
            continue;
        const int answer = (dialog->*handler)(event);
        if (answer == DialogSprite::kNotHandled) {
            if (!dialog->isModal())
                continue;
            *target = sprite;
            return false;
        }
        if (answer == DialogSprite::kCommand) {
            if (!refineDialogCommand(dialog, command))
                return false;
        } else {
            command->assign(answer == DialogSprite::kClosed ? "CLOSED" : "");
        }
        *target = sprite;
        return true;
    }
    return false;
}

bool GameCanvas2::onMouseUp(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    return routeToDialogs(&DialogSprite::mouseUp, event, target, command);
}

bool GameCanvas2::onMouseMove(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    bool overButton = false;
    bool hotSpot = false;
    bool insideDialog = false;
    for (int i = sceneSize() - 1; i >= 0; --i) {
        lang::Ref<Sprite> sprite = spriteAt(i);
        if (DialogSprite* dialog = visibleDialog(sprite.get())) {
            if (!insideDialog && dialog->mouseMove(event)) {
                hotSpot = true;
                break;
            }
            if (dialog->isModal())
                break;
            if (dialog->containsPoint(event->x, event->y))
                insideDialog = true;
            continue;
        }
        ButtonSprite* button = asButton(sprite.get());
        // Every button keeps its hover look; only one under no dialog counts.
        if (button != nullptr && button->hover(event->x, event->y) && !insideDialog && !overButton) {
            overButton = true;
            *target = sprite;
        }
    }
    const bool hand = getCursor() == window::Cursor::hand();
    if ((overButton || hotSpot) && !hand) {
        command->assign("handCursor");
        return true;
    }
    if (!overButton && !hotSpot && hand) {
        command->assign("normalCursor");
        return true;
    }
    return false;
}

bool GameCanvas2::onMouseWheel(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    return routeToDialogs(&DialogSprite::mouseWheel, event, target, command);
}

bool GameCanvas2::onKeyUp(window::Event*, lang::Ref<lang::Object>*, lang::String*) {
    return false;
}

bool GameCanvas2::onKeyDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) {
    for (int i = sceneSize() - 1; i >= 0; --i) {
        lang::Ref<Sprite> sprite = spriteAt(i);
        DialogSprite* dialog = visibleDialog(sprite.get());
        if (dialog == nullptr)
            continue;
        if (dialog->takesKeys()) {
            *target = sprite;
            if (dialog->keyDown(event) == 0)
                return false;
            return refineDialogCommand(dialog, command);
        }
        if (dialog->isModal()) {
            *target = sprite;
            return false;
        }
    }
    return false;
}

}  // namespace sprite
