// SPDX-License-Identifier: MIT
// The line edit behind a text box, and the tooltip that shows a text cut off by its edge. The
// toolkit's own painting shapes the whole text again on every repaint (a second or more for a
// pasted 8 MB), so a box holding a very long text paints only the part around its cursor; the text
// itself stays whole in the line edit, for copying and for the program.
#pragma once

#include <QLineEdit>

namespace forms {

// Texts longer than this are painted by TextBoxEdit itself: far more than a box shows, and short
// enough that the toolkit's painting of it costs well under a millisecond.
inline constexpr qsizetype kLongTextLength = 10'000;

// The room QLineEdit leaves on either side between its contents' edge and its text, in pixels:
// where the text of a box begins and how much of it shows.
inline constexpr int kLineEditMargin = 2;

class TextBoxEdit : public QLineEdit {
public:
    explicit TextBoxEdit(QWidget *parent);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The room the box shows text in, as QLineEdit lays text out: inside the frame, the text
    // margins and its own margin on each side.
    [[nodiscard]] QRect textArea() const;
    // Offers the whole text as the tooltip when it is wider than textArea, none when it fits;
    // worked out anew whenever the text, the size, the font or the style change.
    void updateTip();

    // The first character shown of a long text: kept from one repaint to the next and moved only
    // as far as the cursor needs to stay in view, so the text does not jump as the cursor moves.
    qsizetype m_firstShown = 0;
};

} // namespace forms
