#pragma once
// What the main menu decides without the engine: where its texts stand for a
// window size, and what a key does to the highlighted item.

// Pixels from the window's top left.
struct TextPosition {
    float left;
    float top;
    bool operator==(const TextPosition& o) const { return left == o.left && top == o.top; }
};

struct MenuLayout {
    TextPosition play, help, credits, exit, title;
};

// Each position is the window size times its factor, truncated.
MenuLayout menuLayout(unsigned width, unsigned height);

enum MenuItem { ITEM_PLAY = 1, ITEM_HELP = 2, ITEM_CREDITS = 3, ITEM_EXIT = 4 };

enum class MenuCommand {
    NONE,          // nothing happens, no sound
    MOVED,         // the highlight moved: the move sound
    CHOOSE,        // act on the highlighted item
    QUIT,          // end the program after this frame
    CYCLE_COLOURS, // the next colour scheme
};

// Applies a key code to the highlighted item (1 to 4) and says what follows.
MenuCommand menuKey(int key, int& selectedItem);
