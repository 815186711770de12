// SPDX-License-Identifier: MIT
// The screens the window tests run on, chosen by ICATLAS_TEST_SCREEN before Qt starts: plain
// 96 DPI, a 144 DPI screen laid out by our own twips conversion, a 200 % scale factor that Qt
// applies to everything it draws, and screens too small for the designed window (a laptop at
// 150 %, a netbook). Each has its size on the offscreen platform.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <array>
#include <string_view>

namespace testing_support {

struct TestScreen {
    std::string_view name;
    const char *fontDpi; // QT_FONT_DPI, or null
    const char *scaleFactor; // QT_SCALE_FACTOR, or null
    double scale; // device pixels per pixel at 96 DPI that the window must end up with
    int width; // the screen, in device pixels
    int height;
    bool roomy; // the designed window, frame and all, fits the screen
};

inline constexpr std::array<TestScreen, 6> kTestScreens {{
    {"dpi96", nullptr, nullptr, 1.0, 1920, 1080, true},
    {"dpi144", "144", nullptr, 1.5, 1920, 1080, true},
    {"scale200", nullptr, "2", 2.0, 2560, 1440, true},
    {"laptop150", nullptr, "1.5", 1.5, 1366, 768, false},
    {"hd150", nullptr, "1.5", 1.5, 1280, 720, false},
    // 642x525 and a frame fit in 1024x600: the netbook keeps the designed size.
    {"netbook", nullptr, nullptr, 1.0, 1024, 600, true},
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

// Applies the screen asked for; on the offscreen platform its size comes from a configuration
// written into `folder`, which must outlive the application's start.
inline void applyTestScreen(const QString &folder)
{
    const TestScreen *screen = requestedTestScreen();
    if (screen == nullptr) {
        return;
    }
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile config(QDir(folder).filePath(QStringLiteral("screen.json")));
        const QByteArray json = QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, )"
                                               R"("width": %1, "height": %2, "logicalDpi": 96, )"
                                               R"("logicalBaseDpi": 96, "dpr": 1}]})")
                                    .arg(screen->width)
                                    .arg(screen->height)
                                    .toUtf8();
        if (config.open(QIODevice::WriteOnly) && config.write(json) == json.size()) {
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
        }
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
