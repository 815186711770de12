// SPDX-License-Identifier: MIT
// What assistive technology is told of a form: its window is a window, its text boxes read their
// whole text, its announcements are notifications, and a click's writes reach it as one change
// each.
#pragma once

#include <QAccessible>
#include <QPointer>
#include <QString>

#include <utility>
#include <vector>

class QLineEdit;
class QWidget;

namespace forms {

// A form's top-level window: a plain widget that assistive technology knows as a window.
[[nodiscard]] QWidget *createFormWindow();

// The empty widget through which a form announces: a notification, whose name is spoken each time
// it is shown.
[[nodiscard]] QWidget *createAnnouncer(QWidget *window);

// While a click handler runs, the text boxes it writes reach assistive technology as one change
// each, sent when it returns. Written one by one, each box sends four or five events (text
// removed and inserted, selection, the cursor to the end and back home); sixteen boxes make some
// eighty, and a screen reader that sees such a flood drops what it deems unimportant from its
// queue, the announcement of what the click did among it (Orca prunes beyond 50 waiting). The
// focused box, if one is, keeps its own events. Nested handlers leave the work to the outermost.
class QuietTextBoxes {
public:
    explicit QuietTextBoxes(QWidget *window);
    ~QuietTextBoxes();
    QuietTextBoxes(const QuietTextBoxes &) = delete;
    QuietTextBoxes &operator=(const QuietTextBoxes &) = delete;

private:
    static void filter(QAccessibleEvent *event);
    [[nodiscard]] bool holdsBack(const QAccessibleEvent *event) const;

    static inline QuietTextBoxes *s_active = nullptr;
    QWidget *m_window;
    QAccessible::UpdateHandler m_previous = nullptr;
    std::vector<std::pair<QPointer<QLineEdit>, QString>> m_before;
};

} // namespace forms
