// SPDX-License-Identifier: MIT
// What the window promises suite asks of a realisation's driver, which acts as a user on one
// realisation's main window: each driver is a class with these members.
//
//   explicit Driver(unsigned dpi);       the main window at that DPI, shown, its handlers bound
//   bool opened() const;                 it got that far
//   std::optional<Place> place(name);    a control's place, or none when there is no such control
//   std::string text(name);              a box's text or a button's caption
//   void click(name);                    a mouse click on a button
//   void type(box, text);                the user selects all of a box and types `text`
//   void focus(name); std::string focused();
//   void tab(bool back);                 Tab, or Shift+Tab
//   bool press(const KeyCase &);         the row's key on the focused control; true: it closed
//   void refuse(box, bool gone);         the box keeps two characters of a write, or is destroyed
//   std::string clickReported(button);   a click whose error is reported: what the report said
//   int heldReferences();
#pragma once

#include <string>

namespace testing_support {

// In device pixels from the control's container.
struct Place {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string container; // empty: the client area
};

} // namespace testing_support
