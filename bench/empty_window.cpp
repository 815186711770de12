// SPDX-License-Identifier: MIT
// The toolkit's floor for start-up: an empty Qt window of the main window's size (642 x 525 at
// 96 DPI), nothing in it. scripts/bench times it against icatlas, run by run.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    const QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(642, 525);
    window.show();
    return QApplication::exec();
}
