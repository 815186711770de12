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

// Makes a form's top-level window, a plain widget, known to assistive technology as a window.
void markFormWindow(QWidget *window);

// While a click handler runs, each text box it writes reaches assistive technology as one change,
// sent when it returns: written one by one, sixteen boxes send some eighty events (text removed and
// inserted, selection, the cursor to the end and back home), and Orca prunes its queue beyond 50
// waiting, the click's announcement among them. The focused box keeps its own events; nested
// handlers leave the work to the outermost.
class QuietTextBoxes {
public:
    explicit QuietTextBoxes(QWidget *window);
    ~QuietTextBoxes();
    QuietTextBoxes(const QuietTextBoxes &) = delete;
    QuietTextBoxes &operator=(const QuietTextBoxes &) = delete;

private:
    static void filter(QAccessibleEvent *event);

    static inline QuietTextBoxes *s_active = nullptr;
    QWidget *m_window;
    QAccessible::UpdateHandler m_previous = nullptr;
    std::vector<std::pair<QPointer<QLineEdit>, QString>> m_before;
};

} // namespace forms
