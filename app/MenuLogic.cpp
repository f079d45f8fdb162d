#include "app/MenuLogic.h"

#include "platform/devices/keyboard.h"

namespace {

const double COLUMN = 0.44375;
const double TITLE_LEFT = 0.3875;
const double TITLE_TOP = 0.25;
// 5/12 to 8/12 of the height.
const double ROWS[4] = {0.4166666666666667, 0.5, 0.5833333333333334, 0.6666666666666666};

float scaled(unsigned size, double factor) { return static_cast<float>(static_cast<int>(size * factor)); }

} // namespace

MenuLayout menuLayout(unsigned width, unsigned height)
{
    const float column = scaled(width, COLUMN);
    return {
        {column, scaled(height, ROWS[0])},
        {column, scaled(height, ROWS[1])},
        {column, scaled(height, ROWS[2])},
        {column, scaled(height, ROWS[3])},
        {scaled(width, TITLE_LEFT), scaled(height, TITLE_TOP)},
    };
}

MenuCommand menuKey(int key, int& selectedItem)
{
    switch (key) {
    case input::KC_UP:
        if (selectedItem == ITEM_PLAY)
            return MenuCommand::NONE;
        --selectedItem;
        return MenuCommand::MOVED;
    case input::KC_DOWN:
        if (selectedItem == ITEM_EXIT)
            return MenuCommand::NONE;
        ++selectedItem;
        return MenuCommand::MOVED;
    case input::KC_RETURN:
        return MenuCommand::CHOOSE;
    case input::KC_ESCAPE:
        return MenuCommand::QUIT;
    case input::KC_O:
        return MenuCommand::CYCLE_COLOURS;
    default:
        return MenuCommand::NONE;
    }
}
