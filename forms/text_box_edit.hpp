// SPDX-License-Identifier: MIT
// The line edit behind a text box. The toolkit's own painting shapes the whole text again on every
// repaint (a second or more for a pasted 8 MB), so a box holding a very long text paints only the
// part around its cursor; the text itself stays whole in the line edit, for copying and for the
// program. Shorter texts are painted by the toolkit as always.
#pragma once

#include <QLineEdit>

namespace forms {

// Texts longer than this are painted by TextBoxEdit itself: far more than a box shows, and short
// enough that the toolkit's painting of it costs well under a millisecond.
inline constexpr qsizetype kLongTextLength = 10'000;

class TextBoxEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintLongText();

    // The first character shown of a long text: kept from one repaint to the next and moved only
    // as far as the cursor needs to stay in view, so the text does not jump as the cursor moves.
    qsizetype m_firstShown = 0;
};

} // namespace forms
