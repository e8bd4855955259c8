// The message box face both desktop backends show, and the scale they choose.
#include <gtest/gtest.h>

#include "backend/common/box_face.h"
#include "backend/common/scale.h"

namespace {

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(BoxFace, TheButtonLiesInsideTheBoxAndMoreLinesMakeItTaller)
{
    BoxFace one, three;
    BoxFaceDraw(one, "a line", MB_ICONINFORMATION);
    BoxFaceDraw(three, "a line\nanother\nand a third", MB_ICONINFORMATION);
    for (const BoxFace* f : {&one, &three}) {
        EXPECT_GT(f->button.left, 0);
        EXPECT_LE(f->button.right, f->surface.width);
        EXPECT_LE(f->button.bottom, f->surface.height);
        EXPECT_FALSE(f->answered);
    }
    EXPECT_GT(three.surface.height, one.surface.height);
    EXPECT_EQ(three.surface.height - three.button.top, one.surface.height - one.button.top);
}

TEST(BoxFace, OnlyAPressAndReleaseBothOnTheButtonAnswers)
{
    struct Case {
        const char* name;
        bool downOnButton, upOnButton, answers;
    } cases[] = {
        {"press and release on it", true, true, true},
        {"pressed elsewhere, released on it", false, true, false},
        {"pressed on it, released elsewhere", true, false, false},
        {"neither", false, false, false},
    };
    for (const Case& c : cases) {
        BoxFace face;
        BoxFaceDraw(face, "text", 0);
        const POINT on = Centre(face.button);
        const POINT off{2, 2};
        const POINT down = c.downOnButton ? on : off, up = c.upOnButton ? on : off;
        BoxFaceButton(face, true, down.x, down.y);
        EXPECT_FALSE(face.answered) << c.name;
        BoxFaceButton(face, false, up.x, up.y);
        EXPECT_EQ(face.answered, c.answers) << c.name;
    }
    // The button's edges: its right and bottom edges lie outside it.
    BoxFace face;
    BoxFaceDraw(face, "text", 0);
    BoxFaceButton(face, true, face.button.right, face.button.bottom - 1);
    BoxFaceButton(face, false, face.button.right - 1, face.button.bottom - 1);
    EXPECT_FALSE(face.answered);
}

TEST(BoxFace, ReturnEnterSpaceAndEscapeAnswerOtherKeysDoNot)
{
    const std::pair<BoxKey, bool> cases[] = {{BoxKey::Return, true}, {BoxKey::Enter, true},
                                             {BoxKey::Space, true},  {BoxKey::Escape, true},
                                             {BoxKey::Other, false}};
    for (const auto& [key, answers] : cases) {
        BoxFace face;
        BoxFaceDraw(face, "text", 0);
        BoxFaceKey(face, key);
        EXPECT_EQ(face.answered, answers) << static_cast<int>(key);
    }
}

TEST(Scale, TheSettingIsAWholeFactorFromOneToEight)
{
    const std::pair<const char*, int> cases[] = {{"1", 1}, {"2", 2}, {"8", 8}, {"0", 0},
                                                 {"9", 0}, {"-2", 0}, {"2x", 0}, {"1.5", 0},
                                                 {"", 0},  {nullptr, 0}};
    for (const auto& [text, scale] : cases)
        EXPECT_EQ(ScaleFromSetting(text), scale) << (text ? text : "(unset)");
}

TEST(Scale, NeverPastWhatLeavesTheProgramA640x480Screen)
{
    struct Case {
        int wanted, width, height, scale;
    } cases[] = {
        {8, 1280, 1024, 2},  // the reported fault: a 4752x2200 board on this screen
        {2, 1280, 1024, 2},  {2, 1280, 959, 1}, {2, 1279, 1024, 1}, {8, 3840, 2160, 4},
        {3, 3840, 2160, 3},  {1, 640, 480, 1},  {1, 320, 200, 1},   {4, 320, 200, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleThatFits(c.wanted, c.width, c.height), c.scale)
            << c.wanted << " on " << c.width << "x" << c.height;
}

}  // namespace
