// ChoosePlayer: the rows, the selection, the chooser's commands and its keys.
#include "game/ChoosePlayer.h"

#include "game/GenericDialog.h"
#include "game/PlayerData.h"
#include "game/ProfileInputPrompt.h"
#include "lang/CodePage.h"
#include "sprite/NewFontSprite.h"

LANG_DEFINE_CLASS_RECORD(ChoosePlayer);

namespace {

constexpr const char* kFocusButtons[] = {"acceptProfile", "createNewProfile", "deleteProfile"};

std::string trimmed(const std::string& name) {
    size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

bool sameName(const std::string& a, const std::string& b) {
    return lang::compareIgnoreCase(a, b) == 0;
}

}  // namespace

ChoosePlayer::ChoosePlayer() = default;
ChoosePlayer::~ChoosePlayer() = default;

void ChoosePlayer::setUpDialog() {
    // A button record of the scripts names no selected frames: the data list gives the rows' selected
    // look (numbers 6 and 7: selected, selected under the pointer). Without it a selected row would
    // hide its button.
    if (dataCount() > 6) {
        const int selected = dataAt(6), selectedHover = dataAt(7, -1);
        for (int i = 0; i < kRows; ++i) {
            lang::Ref<sprite::ButtonSprite> hilite = button(("Hilite" + std::to_string(i)).c_str());
            if (!hilite)
                continue;
            using B = sprite::ButtonSprite;
            hilite->setStateFrames(hilite->getStateFrame(B::kHover), hilite->getStateFrame(B::kNormal),
                                   hilite->getStateFrame(B::kDisabled), selected, selectedHover,
                                   hilite->getStateFrame(B::kPressed), -2);
        }
    }
    rows_.clear();
    lang::Ref<sprite::Sprite> proto = child("protoName");
    if (!proto)
        return;
    proto->setVisible(false);
    const int x = dataAt(0), firstY = dataAt(1), step = dataAt(2);
    for (int i = 0; i < kRows; ++i) {
        lang::Ref<sprite::Sprite> row = lang::adopt(proto->clone());
        // Script numbers may be anything: the row position is computed wide and kept in range.
        row->setLocation(x, sprite::Sprite::clampCoordinate(static_cast<long long>(firstY) +
                                                            static_cast<long long>(i) * step));
        row->setColorTransform(128, dataAt(3, 128), dataAt(4, 128), dataAt(5, 128));
        row->setVisible(false);
        addChild(("playerRow" + std::to_string(i)).c_str(), row.get());
        rows_.push_back(row);
    }
}

ProfileInputPrompt* ChoosePlayer::prompt() {
    lang::Ref<sprite::Sprite> c = child("inputPrompt");
    // The chooser's children live as long as the chooser.
    return c && c->instanceOf("ProfileInputPrompt") ? static_cast<ProfileInputPrompt*>(c.get()) : nullptr;
}

GenericDialog* ChoosePlayer::question() {
    lang::Ref<sprite::Sprite> c = child("genericDialog");
    return c && c->instanceOf("GenericDialog") ? static_cast<GenericDialog*>(c.get()) : nullptr;
}

std::string ChoosePlayer::text(const char* id) {
    return host() != nullptr ? host()->text(id) : std::string();
}

void ChoosePlayer::prepare(const std::string& currentName) {
    selected_ = currentName;
    focus_ = 0;
    if (ProfileInputPrompt* p = prompt())
        p->setVisible(false);
    if (GenericDialog* q = question())
        q->setVisible(false);
    refreshList();
    showSelectionButtons(true);
}

void ChoosePlayer::refreshList() {
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    names_ = data != nullptr ? data->profiles() : std::vector<std::string>();
    // A selection that names no profile (deleted meanwhile) counts as none.
    int selectedRow = -1;
    for (size_t i = 0; i < names_.size(); ++i) {
        if (sameName(names_[i], selected_)) {
            selectedRow = static_cast<int>(i);
            selected_ = names_[i];
        }
    }
    if (selectedRow < 0)
        selected_ = names_.empty() ? std::string() : names_[0];
    if (selectedRow < 0 && !names_.empty())
        selectedRow = 0;
    const bool haveSelection = !selected_.empty();
    enable(button("acceptProfile").get(), haveSelection);
    enable(button("deleteProfile").get(), haveSelection);
    enable(button("createNewProfile").get(), names_.size() < static_cast<size_t>(kMaxProfiles));
    for (int i = 0; i < kRows; ++i) {
        const bool used = i < static_cast<int>(names_.size());
        lang::Ref<sprite::ButtonSprite> hilite = button(("Hilite" + std::to_string(i)).c_str());
        if (i < static_cast<int>(rows_.size())) {
            auto* row = rows_[static_cast<size_t>(i)].get();
            if (used && row->instanceOf("NewFontSprite"))
                static_cast<sprite::NewFontSprite*>(row)->setText(names_[static_cast<size_t>(i)].c_str());
            row->setVisible(used);
        }
        if (hilite) {
            hilite->setVisible(used);
            if (used)
                hilite->setState(i == selectedRow ? sprite::ButtonSprite::kSelected : sprite::ButtonSprite::kNormal);
        }
    }
}

void ChoosePlayer::showSelectionButtons(bool on) {
    show(child("bkgSelectPlayer").get(), on);
    for (const char* name : {"acceptProfile", "deleteProfile"}) {
        lang::Ref<sprite::ButtonSprite> b = button(name);
        showEnabled(b.get(), on, on && !selected_.empty());
    }
}

void ChoosePlayer::selectRow(int row) {
    // A selected look may have no frame of its own and hide its button: go by the rows in use.
    for (int i = 0; i < kRows && i < static_cast<int>(names_.size()); ++i) {
        if (lang::Ref<sprite::ButtonSprite> hilite = button(("Hilite" + std::to_string(i)).c_str()))
            hilite->setState(sprite::ButtonSprite::kNormal);
    }
    if (row < 0 || row >= static_cast<int>(names_.size())) {
        enable(button("deleteProfile").get(), false);
        return;
    }
    selected_ = names_[static_cast<size_t>(row)];
    enable(button("deleteProfile").get(), true);
    enable(button("acceptProfile").get(), true);
    if (lang::Ref<sprite::ButtonSprite> hilite = button(("Hilite" + std::to_string(row)).c_str()))
        hilite->setState(sprite::ButtonSprite::kSelected);
}

void ChoosePlayer::ask(int mode, const std::string& message, const std::string& name) {
    GenericDialog* q = question();
    if (q == nullptr)
        return;
    q->setConfirmCommands("confirmDeleteProfile", "cancelDelete");
    appendChild(q);
    q->showMessage(mode, mode, message, name);
    showSelectionButtons(false);
}

void ChoosePlayer::choose(const std::string& name) {
    if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr)
        data->selectProfile(name);
    setVisible(false);
    if (host() != nullptr)
        host()->runAction(this, lang::String(("profile:" + name).c_str()));
}

int ChoosePlayer::handleCommand(const lang::String& command) {
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    if (command.startsWith("Hilite")) {
        std::string digits(command.view().substr(6));
        int row = -1;
        if (!digits.empty() && digits.size() < 4 && digits.find_first_not_of("0123456789") == std::string::npos)
            row = std::stoi(digits);
        selectRow(row);
        return kHandled;
    }
    if (command.equals("acceptProfile")) {
        if (!selected_.empty())
            choose(selected_);
        return kHandled;
    }
    if (command.equals("createNewProfile")) {
        if (names_.size() >= static_cast<size_t>(kMaxProfiles))
            return kHandled;
        if (ProfileInputPrompt* p = prompt()) {
            appendChild(p);
            p->showPrompt(!names_.empty());
        }
        showSelectionButtons(false);
        return kHandled;
    }
    if (command.equals("submitNewProfile")) {
        showSelectionButtons(true);
        ProfileInputPrompt* p = prompt();
        std::string name = p != nullptr ? trimmed(p->name()) : std::string();
        if (name.empty() || data == nullptr)
            return kHandled;
        if (const char* problem = PlayerData::nameProblem(name)) {
            ask(GenericDialog::kNotice, problem, name);
            return kHandled;
        }
        if (data->createProfile(name) == PlayerData::CreateResult::Duplicate) {
            ask(GenericDialog::kNotice, text("STR_DUPLICATE_NAME"), name);
            return kHandled;
        }
        selected_ = name;
        refreshList();
        if (p != nullptr)
            p->setVisible(false);
        choose(name);
        return kHandled;
    }
    if (command.equals("cancelAddProfile")) {
        if (ProfileInputPrompt* p = prompt())
            p->setVisible(false);
        showSelectionButtons(true);
        return kHandled;
    }
    if (command.equals("deleteProfile")) {
        if (selected_.empty())
            return kHandled;
        enable(button("acceptProfile").get(), false);
        // The question's two parts; the name shows in the question's own name line.
        ask(GenericDialog::kConfirm, text("STR_REALLY_DELETE_1") + "\n" + text("STR_REALLY_DELETE_2"), selected_);
        return kHandled;
    }
    if (command.equals("confirmDeleteProfile")) {
        if (data != nullptr && !selected_.empty())
            data->deleteProfile(selected_);
        selected_.clear();
        refreshList();
        showSelectionButtons(true);
        return kHandled;
    }
    if (command.equals("cancelDelete")) {
        showSelectionButtons(true);
        return kHandled;
    }
    if (command.equals("b1OK"))
        return kHandled;
    return DialogSprite::handleCommand(command);
}

const char* ChoosePlayer::defaultButtonName() const {
    return focus_ == 0 ? "acceptProfile" : kFocusButtons[focus_ - 1];
}

int ChoosePlayer::keyPressed(window::Event* event) {
    const int buttons = static_cast<int>(std::size(kFocusButtons));
    switch (event->key) {
    case window::Event::kTab: {
        // Round the list and the enabled buttons, backwards with Shift.
        const int step = (event->modifiers & window::Event::kShift) != 0 ? buttons : 1;
        for (int tries = 0; tries <= buttons; ++tries) {
            focus_ = (focus_ + step) % (buttons + 1);
            if (focus_ == 0 || isEnabled(button(kFocusButtons[focus_ - 1]).get()))
                break;
        }
        return kHandled;
    }
    case window::Event::kUp:
    case window::Event::kDown: {
        if (focus_ != 0 || names_.empty())
            return kHandled;
        int row = 0;
        for (size_t i = 0; i < names_.size(); ++i)
            if (names_[i] == selected_)
                row = static_cast<int>(i);
        row += event->key == window::Event::kUp ? -1 : 1;
        if (row >= 0 && row < static_cast<int>(names_.size()))
            selectRow(row);
        return kHandled;
    }
    default:
        return 0;
    }
}
