// The profile chooser's sub-scripts in small: the chooser with its rows, buttons, prompt and question,
// and the prompt's and the question's own scripts. Shared by the chooser's tests and the canvas's.
#pragma once

namespace dialog_test {

// The chooser at (100, 50); its rows' buttons at local (180, 95 + 40 i), 10 by 20, six frames (hover
// 2, normal 1, disabled 0; the data list makes 4 selected and 5 selected under the pointer); its three
// buttons at local y 400; the prompt and the question at local (150, 150), modal.
inline const char* const kChooser =
    "<data> 200 100 40 128 100 100 4 5\n"
    "<sprites>\n"
    " bkgSelectPlayer Sprite bg 0 0\n"
    " protoName NewFontSprite 0 0\n"
    " Hilite0 ButtonSprite btn 180 95 6 1 2 1 0 1\n"
    " Hilite1 ButtonSprite btn 180 135 6 1 2 1 0 1\n"
    " Hilite2 ButtonSprite btn 180 175 6 1 2 1 0 1\n"
    " Hilite3 ButtonSprite btn 180 215 6 1 2 1 0 1\n"
    " Hilite4 ButtonSprite btn 180 255 6 1 2 1 0 1\n"
    " acceptProfile ButtonSprite btn 20 400 3 1 2 1 0 1\n"
    " createNewProfile ButtonSprite btn 60 400 3 1 2 1 0 1\n"
    " deleteProfile ButtonSprite btn 100 400 3 1 2 1 0 1\n"
    " inputPrompt ProfileInputPrompt:prompt.txt 150 150 300 200 1 0 0\n"
    " genericDialog GenericDialog:generic.txt 150 150 300 200 1 0 0\n";
inline const char* const kPrompt =
    "<sprites>\n"
    " name NewFontSprite 20 20\n"
    " submitNewProfile ButtonSprite btn 200 150 3 1 2 1 0 1\n"
    " cancelAddProfile ButtonSprite btn 240 150 3 1 2 1 0 1\n";
inline const char* const kGeneric =
    "<sprites>\n"
    " genericTitles AnimateSprite btn 0 0 3 1\n"
    " messageText NewFontSprite 10 40\n"
    " messageName NewFontSprite 10 80\n"
    " b1Delete ButtonSprite btn 50 150 3 1 2 1 0 1\n"
    " b2Cancel ButtonSprite btn 100 150 3 1 2 1 0 1\n"
    " b1OK ButtonSprite btn 150 150 3 1 2 1 0 1\n"
    " b1Clear ButtonSprite btn 200 150 3 1 2 1 0 1\n";

}  // namespace dialog_test
