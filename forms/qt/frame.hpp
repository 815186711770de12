// SPDX-License-Identifier: MIT
// A frame (a captioned group of controls) that draws its border itself where the Fusion style
// would draw one.
#pragma once

#include <QGroupBox>

namespace forms {

// Fusion draws a group box's border from a picture it loads by name, and that first load reads
// every image format Qt has a plugin for: about a tenth of the program's start. Under Fusion this
// frame paints the same pixels itself; under any other style the style draws it all.
class Frame : public QGroupBox {
public:
    explicit Frame(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace forms
