// SPDX-License-Identifier: MIT
// Themes that a careless colour scheme gives: boxes whose Base is transparent, and boxes whose Base
// is their text's colour. The text of each box must still be drawn readable on what shows behind it
// on screen, measured on the window's drawn pixels.
#include "tests/support/window_fixture.hpp"

#include "forms/core/contrast.hpp"

#include <QImage>

#include <algorithm>
#include <ostream>
#include <string>

namespace {

using testing_support::MainWindowTest;

struct OddTheme {
    const char *label;
    QColor base; // the theme's Base, the rest of the palette Qt's own
    QColor text; // the theme's Text, invalid for Qt's own
    const char *box; // the box whose text is measured
};

void PrintTo(const OddTheme &row, std::ostream *out)
{
    *out << row.label;
}

forms::Rgb rgbOf(QRgb pixel)
{
    return {static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
            static_cast<std::uint8_t>(qBlue(pixel))};
}

class OddThemeTest : public MainWindowTest, public ::testing::WithParamInterface<OddTheme> {
protected:
    void SetUp() override
    {
        m_saved = QApplication::palette();
        QPalette theme = m_saved;
        theme.setColor(QPalette::Base, GetParam().base);
        if (GetParam().text.isValid()) {
            theme.setColor(QPalette::Text, GetParam().text);
        }
        QApplication::setPalette(theme);
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QApplication::setPalette(m_saved);
    }

private:
    QPalette m_saved;
};

// The box as the window draws it, with what shows through it: the top right corner inside its
// border is taken as its background (the text lies lower and further left), and the pixel that
// stands out most from it must reach 4.5:1.
TEST_P(OddThemeTest, BoxTextReadsOnWhatShowsBehindIt)
{
    QTest::mouseClick(widget("Command31"), Qt::LeftButton); // 6310I: PF08125B in Text2
    QWidget *box = widget(GetParam().box);
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(qobject_cast<QLineEdit *>(box)->text().isEmpty());
    QCoreApplication::sendPostedEvents();
    const QImage window = form->window()->grab().toImage();
    const qreal ratio = window.devicePixelRatio();
    const QRect area(box->mapTo(form->window(), QPoint(3, 3)) * ratio,
                     (box->size() - QSize(6, 6)) * ratio);
    const forms::Rgb behind = rgbOf(window.pixel(area.topRight()));
    double best = 1.0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            best = std::max(best, forms::contrastRatio(rgbOf(window.pixel(x, y)), behind));
        }
    }
    EXPECT_GE(best, forms::kReadableContrast);
}

INSTANTIATE_TEST_SUITE_P(Form1, OddThemeTest,
                         ::testing::Values(
                             // The fixed red worked out against the transparent colour (black) came
                             // out a light red, 3.48:1 on the window's grey that shows through.
                             OddTheme {"part_number_on_a_transparent_base", QColor(0, 0, 0, 0),
                                       QColor(), "Text2"},
                             OddTheme {"model_on_a_base_of_its_text_colour", QColor(255, 255, 255),
                                       QColor(255, 255, 255), "Text1"}),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
