// SPDX-License-Identifier: MIT
// The screens the window tests run on, chosen by ICATLAS_TEST_SCREEN before Qt starts: plain
// 96 DPI, a 144 DPI screen laid out by our own twips conversion, and a 200 % scale factor that Qt
// applies to everything it draws.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <string_view>

namespace testing_support {

struct TestScreen {
    std::string_view name;
    const char *fontDpi; // QT_FONT_DPI, or null
    const char *scaleFactor; // QT_SCALE_FACTOR, or null
    double scale; // device pixels per pixel at 96 DPI that the window must end up with
};

inline constexpr std::array<TestScreen, 3> kTestScreens {{
    {"dpi96", nullptr, nullptr, 1.0},
    {"dpi144", "144", nullptr, 1.5},
    {"scale200", nullptr, "2", 2.0},
}};

// The screen asked for, or null when none (or an unknown one) is named.
inline const TestScreen *requestedTestScreen()
{
    const QByteArray name = qgetenv("ICATLAS_TEST_SCREEN");
    for (const TestScreen &screen : kTestScreens) {
        if (name == QByteArray(screen.name.data(), static_cast<qsizetype>(screen.name.size()))) {
            return &screen;
        }
    }
    return nullptr;
}

inline void applyTestScreen()
{
    const TestScreen *screen = requestedTestScreen();
    if (screen == nullptr) {
        return;
    }
    if (screen->fontDpi != nullptr) {
        // Without Qt's own scaling the logical DPI is the font DPI, and our conversion lays out.
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        qputenv("QT_FONT_DPI", screen->fontDpi);
    }
    if (screen->scaleFactor != nullptr) {
        qputenv("QT_SCALE_FACTOR", screen->scaleFactor);
    }
}

} // namespace testing_support
