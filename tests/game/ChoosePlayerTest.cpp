// The profile chooser with its prompt and question, built from scripts and driven by events through
// the canvas's routing, on a store in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/ChoosePlayer.h"
#include "game/GenericDialog.h"
#include "game/ProfileInputPrompt.h"
#include "sprite/NewFontSprite.h"
#include "tests/game/ChooserScript.h"
#include "tests/game/DialogTestSupport.h"

namespace {

using dialog_test::stateOf;

class ChoosePlayerTest : public ::testing::Test, public dialog_test::DialogFixture {
protected:
    void SetUp() override {
        write("chooser.txt", dialog_test::kChooser);
        write("prompt.txt", dialog_test::kPrompt);
        write("generic.txt", dialog_test::kGeneric);
        write("main.txt", "<sprites> ChoosePlayer ChoosePlayer:chooser.txt 100 50 600 500 1 0 0\n");
        canvas->texts["STR_DUPLICATE_NAME"] = "That name already exists. Choose another.";
        canvas->texts["STR_REALLY_DELETE_1"] = "Are you sure you want to delete the player";
        canvas->texts["STR_REALLY_DELETE_2"] = "and all of their progress?";
    }
    void open(const std::string& current = "") {
        load("main.txt");
        chooser = get<ChoosePlayer>("ChoosePlayer");
        ASSERT_NE(chooser, nullptr);
        chooser->prepare(current);
        chooser->setVisible(true);
        canvas->take();
    }
    ProfileInputPrompt* prompt() {
        return dynamic_cast<ProfileInputPrompt*>(static_cast<lang::Object*>(chooser->getChild("inputPrompt").get()));
    }
    GenericDialog* question() {
        return dynamic_cast<GenericDialog*>(static_cast<lang::Object*>(chooser->getChild("genericDialog").get()));
    }
    std::string message() {
        lang::Ref<sprite::Sprite> text = question()->getChild("messageText");
        return std::string(static_cast<sprite::NewFontSprite*>(text.get())->getText().view());
    }
    void clickRow(int i) { canvas->click(285, 150 + 40 * i); }
    void clickAccept() { canvas->click(125, 455); }
    void clickCreate() { canvas->click(165, 455); }
    void clickDelete() { canvas->click(205, 455); }
    // Types a name into the prompt and presses Enter.
    void create(const std::string& name) {
        clickCreate();
        canvas->type(name);
        canvas->key(window::Event::kEnter);
    }

    ChoosePlayer* chooser = nullptr;
};

TEST_F(ChoosePlayerTest, TheFirstPlayerIsTypedInAPromptThatCannotBeCancelledAndIsChosenAtOnce) {
    open();
    EXPECT_EQ(stateOf(chooser, "acceptProfile"), 0);
    EXPECT_EQ(stateOf(chooser, "deleteProfile"), 0);
    EXPECT_EQ(stateOf(chooser, "createNewProfile"), 1);

    clickCreate();
    ASSERT_TRUE(prompt()->isVisible());
    EXPECT_EQ(stateOf(prompt(), "cancelAddProfile"), 0);
    EXPECT_FALSE(dialog_test::buttonIn(prompt(), "cancelAddProfile")->isVisible());
    EXPECT_EQ(dialog_test::buttonIn(prompt(), "submitNewProfile")->getX(), (300 - 20) / 2);
    EXPECT_EQ(stateOf(prompt(), "submitNewProfile"), 0);
    // Nothing to cancel to, and nothing to submit yet.
    canvas->key(window::Event::kEscape);
    canvas->key(window::Event::kEnter);
    EXPECT_TRUE(prompt()->isVisible());

    // The underscore is refused, 233 (e acute) taken, and the name stops at seven characters.
    canvas->type("Zo_\xE9 Ann-Marie");
    EXPECT_EQ(prompt()->name(), "Zo\xE9 Ann");
    EXPECT_EQ(stateOf(prompt(), "submitNewProfile"), 1);
    canvas->key(window::Event::kBackspace);
    canvas->key(window::Event::kBackspace);
    canvas->key(window::Event::kBackspace);
    canvas->key(window::Event::kBackspace);
    canvas->take();
    canvas->key(window::Event::kEnter);

    EXPECT_FALSE(prompt()->isVisible());
    EXPECT_FALSE(chooser->isVisible());
    std::vector<std::string> commands = canvas->take();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "submitNewProfile"), commands.end());
    EXPECT_EQ(commands.back(), "profile:Zo\xE9");
    EXPECT_EQ(canvas->data->currentProfile(), "Zo\xE9");
    EXPECT_EQ(canvas->data->lastProfile(), "Zo\xE9");
    EXPECT_TRUE(canvas->data->profileExists("ZO\xC9"));
}

TEST_F(ChoosePlayerTest, ANameThatDiffersOnlyInCaseIsRefusedAndThePromptStaysOpen) {
    canvas->data->createProfile("Ann");
    open("Ann");
    create("aNN");
    ASSERT_TRUE(question()->isVisible());
    EXPECT_EQ(question()->mode(), GenericDialog::kNotice);
    EXPECT_EQ(message(), "That name already exists. Choose another.");
    EXPECT_TRUE(prompt()->isVisible());
    EXPECT_EQ(canvas->data->profiles(), (std::vector<std::string>{"Ann"}));
    EXPECT_EQ(canvas->data->lastProfile(), "Ann");

    // The notice's OK (by Enter) closes it; the prompt is still there to try again.
    canvas->key(window::Event::kEnter);
    EXPECT_FALSE(question()->isVisible());
    EXPECT_TRUE(prompt()->isVisible());

    // A name of dots only is no name: it is refused with its own message.
    prompt()->showPrompt(true);
    canvas->type("..");
    canvas->key(window::Event::kEnter);
    ASSERT_TRUE(question()->isVisible());
    EXPECT_EQ(message(), PlayerData::nameProblem(".."));
    canvas->key(window::Event::kEscape);

    // Escape cancels a prompt that can be cancelled.
    canvas->key(window::Event::kEscape);
    EXPECT_FALSE(prompt()->isVisible());
    EXPECT_EQ(stateOf(chooser, "acceptProfile"), 1);
}

TEST_F(ChoosePlayerTest, DeletingAsksFirstAndRemovesOnlyThatPlayer) {
    canvas->data->setProgramInt("SCORE", 77);
    for (const char* name : {"Score", "Bob"})
        canvas->data->createProfile(name);
    canvas->data->selectProfile("Bob");
    open("Bob");
    EXPECT_EQ(chooser->names(), (std::vector<std::string>{"Bob", "Score"}));
    EXPECT_EQ(chooser->selectedName(), "Bob");
    EXPECT_EQ(stateOf(chooser, "Hilite0"), 3);

    clickRow(1);
    EXPECT_EQ(chooser->selectedName(), "Score");
    EXPECT_EQ(stateOf(chooser, "Hilite0"), 1);
    EXPECT_EQ(stateOf(chooser, "Hilite1"), 3);

    clickDelete();
    ASSERT_TRUE(question()->isVisible());
    EXPECT_EQ(question()->mode(), GenericDialog::kConfirm);
    EXPECT_EQ(stateOf(chooser, "acceptProfile"), 0);
    // Escape is the cancel button.
    canvas->key(window::Event::kEscape);
    EXPECT_FALSE(question()->isVisible());
    EXPECT_TRUE(canvas->data->profileExists("Score"));
    EXPECT_EQ(canvas->take().back(), "cancelDelete");

    clickDelete();
    canvas->click(250 + 55, 200 + 155);  // b1Delete
    EXPECT_FALSE(canvas->data->profileExists("Score"));
    EXPECT_EQ(canvas->data->programInt("SCORE", 0), 77);
    // Another player's last-profile mark stays.
    EXPECT_EQ(canvas->data->lastProfile(), "Bob");
    EXPECT_EQ(chooser->names(), (std::vector<std::string>{"Bob"}));
    EXPECT_EQ(chooser->selectedName(), "Bob");

    // Deleting the last player leaves nobody chosen.
    clickDelete();
    canvas->key(window::Event::kEnter);
    EXPECT_TRUE(chooser->names().empty());
    EXPECT_EQ(canvas->data->lastProfile(), "");
    EXPECT_EQ(stateOf(chooser, "acceptProfile"), 0);
}

TEST_F(ChoosePlayerTest, TheSelectedRowShowsItsOwnLookAndTheLookFollowsTheSelection) {
    canvas->data->createProfile("Ann");
    canvas->data->createProfile("Bob");
    open("Bob");
    auto frameOf = [&](const char* row) {
        sprite::ButtonSprite* b = dialog_test::buttonIn(chooser, row);
        return b != nullptr && b->isVisible() ? b->getFrame() : -1;
    };
    EXPECT_EQ(frameOf("Hilite1"), 4) << "the selected row shows, in its selected frame";
    EXPECT_EQ(frameOf("Hilite0"), 1);

    // Under the pointer the selected row takes its own hover look, and gives it back on leaving.
    canvas->deliver(lang::make<window::Event>(window::Event::kMouseMove, 285, 190, 0, 0, 0).get());
    EXPECT_EQ(frameOf("Hilite1"), 5);
    canvas->deliver(lang::make<window::Event>(window::Event::kMouseMove, 110, 60, 0, 0, 0).get());
    EXPECT_EQ(frameOf("Hilite1"), 4);

    clickRow(0);
    EXPECT_EQ(frameOf("Hilite0"), 4);
    EXPECT_EQ(frameOf("Hilite1"), 1);

    // By key the selection moves and its look with it.
    canvas->key(window::Event::kDown);
    EXPECT_EQ(frameOf("Hilite1"), 4);
    EXPECT_EQ(frameOf("Hilite0"), 1);
}

// The question's two modes: which buttons show and work, the title's frame, the layout of each kind of
// message and of the name, and the key that presses the default button.
TEST_F(ChoosePlayerTest, TheQuestionShowsTheButtonsOfItsModeAndSetsEachMessageByItsKind) {
    canvas->data->createProfile("Ann");
    open("Ann");
    GenericDialog* q = question();
    auto textOf = [&](const char* name) {
        lang::Ref<sprite::Sprite> s = q->getChild(name);
        return static_cast<sprite::NewFontSprite*>(s.get());
    };
    dialog_test::BoxFont font;
    font.dress(textOf("messageText"));
    font.dress(textOf("messageName"));
    auto buttons = [&] {
        std::string seen;
        for (const char* b : {"b1Delete", "b2Cancel", "b1OK", "b1Clear"}) {
            sprite::ButtonSprite* button = dialog_test::buttonIn(q, b);
            seen += std::string(seen.empty() ? "" : " ") + b + (button->isVisible() ? "+" : "-") +
                    std::to_string(button->getState());
        }
        return seen;
    };
    auto size = [&](const char* name) {
        sprite::NewFontSprite* s = textOf(name);
        return std::make_pair(s->getWidth(), s->getHeight());
    };
    auto title = [&] {
        return static_cast<sprite::AnimateSprite*>(q->getChild("genericTitles").get())->getFrame();
    };

    const std::string question = "Are you sure you want to delete this player and all of their progress?";
    q->showMessage(GenericDialog::kConfirm, 2, question, "Ann");
    EXPECT_TRUE(q->isVisible());
    EXPECT_EQ(title(), 2);
    EXPECT_EQ(buttons(), "b1Delete+1 b2Cancel+1 b1OK-0 b1Clear-0");
    EXPECT_EQ(size("messageText"), font.sizeOf(question, 2, -2, 310))
        << "a question: spacing 2, -2, width 310";
    EXPECT_EQ(std::string(textOf("messageName")->getText().view()), "Ann");
    EXPECT_EQ(size("messageName"), font.sizeOf("Ann", 2, -2, 310));
    window::FancyHelper* tint = textOf("messageName")->colorTransform();
    EXPECT_EQ(std::vector<int>({tint->alpha, tint->red, tint->green, tint->blue}),
              std::vector<int>({128, 10, 120, 10}))
        << "the name in green";

    const std::string duplicate = "That name already exists. Please choose another name for the new player.";
    q->showMessage(GenericDialog::kNotice, 1, duplicate, "Ann");
    EXPECT_EQ(title(), 1);
    EXPECT_EQ(buttons(), "b1Delete-0 b2Cancel-0 b1OK+1 b1Clear-0");
    EXPECT_EQ(size("messageText"), font.sizeOf(duplicate, -3, 1, 320))
        << "the notice: spacing -3, 1, width 320";
    canvas->take();
    canvas->key(window::Event::kEnter);
    EXPECT_FALSE(q->isVisible());
    EXPECT_EQ(canvas->take(), (std::vector<std::string>{"b1OK"})) << "Enter presses OK";

    // Back to a question: the notice's button goes and the question's come back.
    q->showMessage(GenericDialog::kConfirm, 0, question, "Ann");
    EXPECT_EQ(title(), 0);
    EXPECT_EQ(buttons(), "b1Delete+1 b2Cancel+1 b1OK-0 b1Clear-0");
}

TEST_F(ChoosePlayerTest, TheNameStandsBelowTheMessageWhateverTheirLengthsAndAboveTheButtons) {
    canvas->data->createProfile("Ann");
    open("Ann");
    GenericDialog* q = question();
    auto textOf = [&](const char* name) {
        lang::Ref<sprite::Sprite> s = q->getChild(name);
        return static_cast<sprite::NewFontSprite*>(s.get());
    };
    dialog_test::BoxFont font;
    font.dress(textOf("messageText"));
    font.dress(textOf("messageName"));
    // Checks that message and name do not meet, the name is under the message, and both end above
    // the shown buttons (at y 150) and start below the title (20 high).
    auto expectStacked = [&](const char* what) {
        SCOPED_TRACE(what);
        util::RectangleNM text = textOf("messageText")->getBounds();
        util::RectangleNM name = textOf("messageName")->getBounds();
        EXPECT_GE(text.y, 20);
        EXPECT_GE(name.y, text.y + text.height) << "the name starts below the message";
        EXPECT_LE(name.y + name.height, 150) << "the name ends above the buttons";
        EXPECT_LE(name.width, 310 + 2) << "the name fits the panel";
    };

    q->showMessage(GenericDialog::kConfirm, 0,
                   canvas->text("STR_REALLY_DELETE_1") + "\n" + canvas->text("STR_REALLY_DELETE_2"), "Ann");
    EXPECT_GE(textOf("messageText")->getHeight(), 3 * 20 - 2 * 2) << "the question takes three lines";
    expectStacked("the question");

    q->showMessage(GenericDialog::kNotice, 1, canvas->text("STR_DUPLICATE_NAME"), "Zo\xE9");
    expectStacked("the duplicate-name notice");

    // A name of one long word is cut short, one of several words may take two lines.
    q->showMessage(GenericDialog::kConfirm, 0, canvas->text("STR_REALLY_DELETE_1"), std::string(60, 'W'));
    expectStacked("a long name");
    EXPECT_EQ(textOf("messageName")->getText().view().back(), sprite::NewFontSprite::kEllipsis);
    q->showMessage(GenericDialog::kConfirm, 0, canvas->text("STR_REALLY_DELETE_1"),
                   "Ann Marie Smith Jones Brown");
    expectStacked("a name of several words");

    // A message of another kind is wrapped to the panel too.
    q->showMessage(GenericDialog::kNotice, 1, PlayerData::nameProblem(".."), "..");
    EXPECT_LE(textOf("messageText")->getWidth(), 320 + 2);
    expectStacked("a message of another kind");
}

// The rows as set-up makes them and the list fills them; the selection buttons step aside for the prompt
// and the question and come back after them.
TEST_F(ChoosePlayerTest, TheRowsShowTheNamesAndTheSelectionButtonsGiveWayToThePromptAndTheQuestion) {
    for (const char* name : {"Cy", "Ann", "Bob"})
        canvas->data->createProfile(name);
    open("Bob");
    auto row = [&](int i) { return chooser->getChild(("playerRow" + std::to_string(i)).c_str()); };
    for (int i = 0; i < ChoosePlayer::kRows; ++i) {
        lang::Ref<sprite::Sprite> r = row(i);
        ASSERT_TRUE(r) << i;
        EXPECT_EQ(r->getX(), 200);
        EXPECT_EQ(r->getY(), 100 + 40 * i);
        window::FancyHelper* tint = r->colorTransform();
        EXPECT_EQ(std::vector<int>({tint->alpha, tint->red, tint->green, tint->blue}),
                  std::vector<int>({128, 128, 100, 100}));
    }
    EXPECT_FALSE(chooser->getChild("protoName")->isVisible());
    auto rows = [&] {
        std::string seen;
        for (int i = 0; i < ChoosePlayer::kRows; ++i) {
            lang::Ref<sprite::Sprite> r = row(i);
            std::string text =
                r->isVisible() ? std::string(static_cast<sprite::NewFontSprite*>(r.get())->getText().view())
                               : "-";
            if (!dialog_test::buttonIn(chooser, ("Hilite" + std::to_string(i)).c_str())->isVisible())
                text += "(no button)";
            seen += (i == 0 ? "" : " ") + text;
        }
        return seen;
    };
    EXPECT_EQ(rows(), "Ann Bob Cy -(no button) -(no button)");
    EXPECT_EQ(stateOf(chooser, "Hilite1"), 3);

    auto selection = [&] {
        std::string seen;
        for (const char* name : {"bkgSelectPlayer", "acceptProfile", "deleteProfile"})
            seen += std::string(seen.empty() ? "" : " ") + name +
                    (chooser->getChild(name)->isVisible() ? "+" : "-") +
                    (std::string(name) == "bkgSelectPlayer" ? "" : std::to_string(stateOf(chooser, name)));
        return seen;
    };
    EXPECT_EQ(selection(), "bkgSelectPlayer+ acceptProfile+1 deleteProfile+1");

    // With players, the prompt can be cancelled and its submit button stands where the script put it.
    clickCreate();
    ASSERT_TRUE(prompt()->isVisible());
    EXPECT_EQ(chooser->childSnapshot().back().get(), prompt()) << "the prompt comes to the front";
    EXPECT_EQ(selection(), "bkgSelectPlayer- acceptProfile-0 deleteProfile-0");
    EXPECT_TRUE(dialog_test::buttonIn(prompt(), "cancelAddProfile")->isVisible());
    EXPECT_EQ(stateOf(prompt(), "cancelAddProfile"), 1);
    EXPECT_EQ(dialog_test::buttonIn(prompt(), "submitNewProfile")->getX(), 200);
    canvas->click(250 + 245, 200 + 155);  // cancelAddProfile
    EXPECT_FALSE(prompt()->isVisible());
    EXPECT_EQ(selection(), "bkgSelectPlayer+ acceptProfile+1 deleteProfile+1");

    // A refused name: the notice stands alone.
    create("cy");
    ASSERT_TRUE(question()->isVisible());
    EXPECT_EQ(chooser->childSnapshot().back().get(), question()) << "the notice comes to the front";
    EXPECT_EQ(selection(), "bkgSelectPlayer- acceptProfile-0 deleteProfile-0");
    canvas->key(window::Event::kEnter);
    canvas->key(window::Event::kEscape);
    EXPECT_FALSE(prompt()->isVisible());

    // The delete question, cancelled by its button.
    clickDelete();
    ASSERT_TRUE(question()->isVisible());
    EXPECT_EQ(selection(), "bkgSelectPlayer- acceptProfile-0 deleteProfile-0");
    canvas->click(250 + 105, 200 + 155);  // b2Cancel
    EXPECT_FALSE(question()->isVisible());
    EXPECT_EQ(selection(), "bkgSelectPlayer+ acceptProfile+1 deleteProfile+1");
    EXPECT_EQ(canvas->data->profiles().size(), 3u);

    // A row command past the list selects nothing and leaves nothing to delete.
    canvas->handleAction(nullptr, lang::String("Hilite4"));
    EXPECT_EQ(stateOf(chooser, "deleteProfile"), 0);
    EXPECT_EQ(chooser->selectedName(), "Bob");
}

// The name prompt's editing keys and characters; submitting follows the name, and Enter on an empty
// name cancels when cancelling is possible.
TEST_F(ChoosePlayerTest, ThePromptTakesOnlyANamesCharactersAndSubmitsOnlyANonEmptyName) {
    canvas->data->createProfile("Ann");
    open("Ann");
    clickCreate();
    ASSERT_TRUE(prompt()->isVisible());
    EXPECT_EQ(prompt()->name(), "");
    canvas->type("J!_9");
    EXPECT_EQ(prompt()->name(), "J9") << "'!' and '_' are no name's characters";
    canvas->key(0xBF);  // an inverted question mark
    canvas->key(0xC0);  // A grave
    canvas->type(".-");
    EXPECT_EQ(prompt()->name(), "J9\xC0.-");
    EXPECT_EQ(stateOf(prompt(), "submitNewProfile"), 1);
    // Left twice, Delete, then a character goes in at the cursor.
    canvas->key(window::Event::kLeft);
    canvas->key(window::Event::kLeft);
    canvas->key(window::Event::kDelete);
    EXPECT_EQ(prompt()->name(), "J9\xC0-");
    canvas->key('x');
    EXPECT_EQ(prompt()->name(), "J9\xC0x-");
    canvas->key(window::Event::kRight);
    canvas->key('y');
    EXPECT_EQ(prompt()->name(), "J9\xC0x-y");
    canvas->type("zz");
    EXPECT_EQ(prompt()->name(), "J9\xC0x-yz") << "seven characters at most";
    for (int i = 0; i < 7; ++i)
        canvas->key(window::Event::kBackspace);
    EXPECT_EQ(prompt()->name(), "");
    EXPECT_EQ(stateOf(prompt(), "submitNewProfile"), 0) << "nothing to submit";
    canvas->take();
    canvas->key(window::Event::kEnter);
    EXPECT_FALSE(prompt()->isVisible()) << "Enter with nothing typed cancels";
    EXPECT_EQ(canvas->data->profiles(), (std::vector<std::string>{"Ann"}));
}

TEST_F(ChoosePlayerTest, FivePlayersFillTheListAndTabSkipsTheDisabledButtons) {
    for (const char* name : {"e", "D", "c", "B", "a"})
        canvas->data->createProfile(name);
    open("c");
    EXPECT_EQ(chooser->names(), (std::vector<std::string>{"a", "B", "c", "D", "e"}));
    EXPECT_EQ(stateOf(chooser, "createNewProfile"), 0);
    EXPECT_EQ(stateOf(chooser, "Hilite2"), 3);
    clickCreate();
    EXPECT_FALSE(prompt()->isVisible());

    canvas->key(window::Event::kDown);
    EXPECT_EQ(chooser->selectedName(), "D");
    canvas->key(window::Event::kTab);
    EXPECT_EQ(chooser->focus(), 1);  // acceptProfile
    canvas->key(window::Event::kTab);
    EXPECT_EQ(chooser->focus(), 3);  // deleteProfile: createNewProfile is disabled
    canvas->key(window::Event::kTab);
    EXPECT_EQ(chooser->focus(), 0);
    canvas->key(window::Event::kTab, window::Event::kShift);
    EXPECT_EQ(chooser->focus(), 3);
    canvas->key(window::Event::kTab, window::Event::kShift);
    canvas->key(window::Event::kTab, window::Event::kShift);
    EXPECT_EQ(chooser->focus(), 0);

    canvas->take();
    canvas->key(window::Event::kEnter);
    EXPECT_EQ(canvas->take().back(), "profile:D");
    EXPECT_EQ(canvas->data->currentProfile(), "D");
    EXPECT_FALSE(chooser->isVisible());
}

TEST_F(ChoosePlayerTest, AcceptingByMouseChoosesTheHighlightedPlayerAndAClickOutsideIsSwallowed) {
    canvas->data->createProfile("Ann");
    canvas->data->createProfile("Bob");
    open("");
    EXPECT_EQ(chooser->selectedName(), "Ann");
    canvas->click(10, 10);
    for (const std::string& command : canvas->take())
        EXPECT_EQ(command, "");
    clickRow(1);
    clickAccept();
    EXPECT_EQ(canvas->take().back(), "profile:Bob");
    EXPECT_EQ(canvas->data->lastProfile(), "Bob");
}

}  // namespace
