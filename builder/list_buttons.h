// When the five buttons under a list (Add, Rem, Ed, Up, Dn) may be pressed.
#pragma once

#include <string>

struct ListButtons {
    bool add = false;
    bool remove = false;
    bool rename = false;
    bool up = false;
    bool down = false;
};

// `selected` is the current item (-1 for none) of `count` items; `nameTaken`
// tells whether an item already carries the name box's text, ignoring case.
ListButtons EnabledListButtons(int count, int selected, const std::string& name, bool nameTaken);
