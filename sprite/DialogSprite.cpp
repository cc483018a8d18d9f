// sprite::DialogSprite: mouse and key routing with result codes, dragging, the name table and unloading.
#include "sprite/DialogSprite.h"

#include <algorithm>

#include "sprite/ButtonSprite.h"
#include "sprite/DataLoader.h"
#include "sprite/SpriteNames.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(DialogSprite);

namespace {

// Moves an event's point into a child's coordinates for the lifetime of the guard.
class LocalPoint {
public:
    LocalPoint(window::Event* event, int dx, int dy) : event_(event), dx_(dx), dy_(dy) {
        event_->x -= dx_;
        event_->y -= dy_;
    }
    ~LocalPoint() {
        event_->x += dx_;
        event_->y += dy_;
    }
    LocalPoint(const LocalPoint&) = delete;
    LocalPoint& operator=(const LocalPoint&) = delete;

private:
    window::Event* event_;
    int dx_;
    int dy_;
};

bool isButton(Sprite* sprite) {
    return sprite->instanceOf("ButtonSprite");
}

DialogSprite* asDialog(Sprite* sprite) {
    return sprite->instanceOf("DialogSprite") ? static_cast<DialogSprite*>(sprite) : nullptr;
}

}  // namespace

DialogSprite::DialogSprite() = default;

DialogSprite::~DialogSprite() = default;

void DialogSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    FancyContainer::init(images, numbers);
    modal_ = numberAt(numbers, 4) == 1;
    setVisible(numberAt(numbers, 5) == 1);
    draggable_ = numberAt(numbers, 6) != 0;
}

bool DialogSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (!visible_ && imagesLoaded_) {
        unloadImages();
        lang::Synchronized guard(localRegion_.get());
        fadePicture_.reset();
    }
    const bool result = FancyContainer::update(frame, out, region);
    if (shown_ && !imagesLoaded_)
        reloadImages();
    return result;
}

void DialogSprite::setUp(DataLoader* loader) {
    if (loader != nullptr)
        childNames_ = lang::share(loader->names());
    if (!visible_ && imagesLoaded_)
        unloadImages();
}

void DialogSprite::reloadImages() {
    FancyContainer::reloadImages();
    imagesLoaded_ = true;
}

void DialogSprite::unloadImages() {
    FancyContainer::unloadImages();
    imagesLoaded_ = false;
}

void DialogSprite::removeChild(Sprite* child) {
    if (!hasChild(child))
        return;
    FancyContainer::removeChild(child);
    lang::Synchronized guard(this);
    dropName(childNames_.get(), child->getName(), child);
}

void DialogSprite::addChild(const char* name, Sprite* child) {
    if (child == nullptr || child == this)
        return;
    lang::Ref<Sprite> keep = lang::share(child);
    lang::Synchronized guard(this);
    // Whatever the child was entered under goes before it takes its new name.
    dropName(childNames_.get(), child->getName(), child);
    if (hasChild(child))
        detachChild(child);
    if (name == nullptr || name[0] == 0) {
        child->setName("");
    } else {
        child->setName(name);
        if (!childNames_)
            childNames_ = lang::make<util::Hashtable>();
        childNames_->put(name, child);
    }
    appendChild(child);
}

lang::Ref<Sprite> DialogSprite::getChild(const char* name) {
    lang::Synchronized guard(this);
    if (!childNames_ || name == nullptr)
        return nullptr;
    return lang::share(findNamed(childNames_.get(), lang::String(name)));
}

void DialogSprite::setButtonsFireOnRelease(bool on) {
    for (const lang::Ref<Sprite>& child : childSnapshot()) {
        if (isButton(child.get()))
            static_cast<ButtonSprite*>(child.get())->setFireOnRelease(on);
        else if (DialogSprite* dialog = asDialog(child.get()))
            dialog->setButtonsFireOnRelease(on);
    }
}

int DialogSprite::handleCommand(const lang::String& command) {
    std::vector<lang::Ref<Sprite>> children = childSnapshot();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (DialogSprite* dialog = asDialog(it->get())) {
            const int answer = dialog->handleCommand(command);
            if (answer >= kCommand && answer <= kHandled)
                return answer;
        }
    }
    return kNotHandled;
}

int DialogSprite::refineCommand(lang::String* out, const lang::String& command) {
    (void)out;
    (void)command;
    return 0;
}

int DialogSprite::keyDown(window::Event* event) {
    (void)event;
    return 0;
}

int DialogSprite::refineChildAnswer(DialogSprite* child, int answer) {
    (void)answer;
    command_ = child->command();
    lang::String refined;
    switch (child->refineCommand(&refined, command_)) {
    case 0:
        return kCommand;
    case 1:
        command_ = refined;
        return kCommand;
    default:
        command_.assign("");
        return kHandled;
    }
}

int DialogSprite::mouseDown(window::Event* event) {
    lastX_ = event->x;
    lastY_ = event->y;
    command_.assign("");
    pendingChild_.reset();
    if (!visible_)
        return kNotHandled;
    if (!containsPoint(event->x, event->y))
        return modal_ ? kHandled : kNotHandled;
    if (fadingOut_)
        return kHandled;
    const int dx = getX(), dy = getY();
    const int lx = event->x - dx, ly = event->y - dy;
    std::vector<lang::Ref<Sprite>> children = childSnapshot();
    bool blocked = false;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Sprite* child = it->get();
        if (isButton(child)) {
            auto* button = static_cast<ButtonSprite*>(child);
            if (blocked || !button->pressTest(lx, ly))
                continue;
            if (button->press()) {
                command_ = button->getName();
                return kCommand;
            }
            pendingChild_ = *it;
            return kHandled;
        }
        DialogSprite* dialog = asDialog(child);
        if (dialog == nullptr || blocked || !dialog->isVisible() ||
            !(dialog->containsPoint(lx, ly) || dialog->isModal())) {
            continue;
        }
        blocked = true;
        int answer;
        {
            LocalPoint local(event, dx, dy);
            answer = dialog->mouseDown(event);
        }
        if (answer == kCommand || answer == kClosed) {
            pendingChild_ = *it;
            return refineChildAnswer(dialog, answer);
        }
        if (answer == kHandled) {
            pendingChild_ = *it;
            return kHandled;
        }
        if (dialog->isModal()) {
            pendingChild_ = *it;
            break;
        }
    }
    if (draggable_)
        dragging_ = true;
    return kHandled;
}

int DialogSprite::mouseWheel(window::Event* event) {
    command_.assign("");
    if (!visible_)
        return kNotHandled;
    if (!containsPoint(event->x, event->y))
        return modal_ ? kHandled : kNotHandled;
    if (fadingOut_)
        return kHandled;
    const int dx = getX(), dy = getY();
    const int lx = event->x - dx, ly = event->y - dy;
    std::vector<lang::Ref<Sprite>> children = childSnapshot();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DialogSprite* dialog = asDialog(it->get());
        if (dialog == nullptr || !dialog->isVisible() || !(dialog->containsPoint(lx, ly) || dialog->isModal()))
            continue;
        int answer;
        {
            LocalPoint local(event, dx, dy);
            answer = dialog->mouseWheel(event);
        }
        if (answer == kCommand || answer == kClosed)
            return refineChildAnswer(dialog, answer);
        // The top-most dialog under the point blocks the rest.
        break;
    }
    return kHandled;
}

int DialogSprite::mouseUp(window::Event* event) {
    if (dragging_) {
        dragging_ = false;
        return kHandled;
    }
    lang::Ref<Sprite> child = std::move(pendingChild_);
    pendingChild_.reset();
    if (!child)
        return kNotHandled;
    const int dx = getX(), dy = getY();
    if (DialogSprite* dialog = asDialog(child.get())) {
        int answer;
        {
            LocalPoint local(event, dx, dy);
            answer = dialog->mouseUp(event);
        }
        if (answer == kCommand || answer == kClosed)
            return refineChildAnswer(dialog, answer);
        return answer;
    }
    if (isButton(child.get())) {
        auto* button = static_cast<ButtonSprite*>(child.get());
        if (button->releaseAt(event->x - dx, event->y - dy)) {
            command_ = button->getName();
            return kCommand;
        }
    }
    return kNotHandled;
}

bool DialogSprite::mouseMove(window::Event* event) {
    if (dragging_ && draggable_) {
        int nx = getX() + event->x - lastX_;
        int ny = getY() + event->y - lastY_;
        nx = std::max(0, std::min(nx, kAreaWidth - getWidth()));
        ny = std::max(0, std::min(ny, kAreaHeight - getHeight()));
        setLocation(nx, ny);
        lastX_ = event->x;
        lastY_ = event->y;
        return false;
    }
    const int dx = getX(), dy = getY();
    const int lx = event->x - dx, ly = event->y - dy;
    std::vector<lang::Ref<Sprite>> children = childSnapshot();
    bool clickable = false;
    bool blocked = false;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Sprite* child = it->get();
        if (isButton(child)) {
            // Every button keeps its look up to date; only those not under a child dialog count.
            if (static_cast<ButtonSprite*>(child)->hover(lx, ly) && !blocked)
                clickable = true;
            continue;
        }
        DialogSprite* dialog = asDialog(child);
        if (dialog == nullptr || blocked || !dialog->isVisible() ||
            !(dialog->containsPoint(lx, ly) || dialog->isModal())) {
            continue;
        }
        blocked = true;
        {
            LocalPoint local(event, dx, dy);
            if (dialog->mouseMove(event))
                clickable = true;
        }
        if (dialog->isModal())
            break;
    }
    return clickable;
}

Sprite* DialogSprite::clone() {
    auto* copy = new DialogSprite();
    copySpriteTo(*copy);
    copy->fadeStep_ = fadeStep_;
    copy->modal_ = modal_;
    copy->draggable_ = draggable_;
    return copy;
}

}  // namespace sprite
