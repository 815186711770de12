// SPDX-License-Identifier: MIT
// Form definitions as data: a window and its controls with their properties, positions in twips,
// declared as constexpr tables and checked at compile time. The runtime creates windows from them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace forms {

// 1/1440 inch, the unit of every position and size in a definition.
using Twips = std::int32_t;

enum class ControlKind : std::uint8_t { Picture, Label, Frame, TextBox, CommandButton };

// A colour by its red, green and blue, each 0 to 255.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Rgb &, const Rgb &) = default;
};

inline constexpr Rgb kBlue {0, 0, 255};
inline constexpr Rgb kRed {255, 0, 0};

struct Font {
    std::string_view face;
    std::uint16_t centipoints = 0; // 975 is 9.75 points
    std::uint16_t weight = 400; // 700 is bold
    bool italic = false;
    bool underline = false;

    [[nodiscard]] constexpr double points() const { return centipoints / 100.0; }
    friend constexpr bool operator==(const Font &, const Font &) = default;
};

inline constexpr std::int16_t kNoTabIndex = -1;

struct ControlDefinition {
    ControlKind kind = ControlKind::Label;
    std::string_view name;
    std::string_view text; // caption, or a text box's initial text
    std::string_view container; // empty: the form's client area; else a frame's name
    Twips left = 0; // from the container's top-left corner
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    Font font;
    std::optional<Rgb> colour; // a fixed text colour; none: the system's normal text colour
    std::int16_t tabIndex = kNoTabIndex;
    std::string_view picture; // a picture's image resource
    std::string_view accessibleName; // what a screen reader calls it (default: its text)
    std::string_view accessibleDescription; // what a screen reader adds to the name
};

struct FormDefinition {
    std::string_view name;
    std::string_view caption;
    Twips clientWidth = 0;
    Twips clientHeight = 0;
    // The form's font. The runtime makes the start-up form's font the program's default, so every
    // widget starts in it (a control's own font replaces it); an empty face leaves the toolkit's.
    Font font;
    // In creation order: each control is drawn over the ones before it.
    std::span<const ControlDefinition> controls;
    // The pictures its controls name as a resource bundle in read-only data, or null: for a
    // realisation that reads them from one (one with them among its resources does not).
    const unsigned char *resources = nullptr;
};

// What assistive technology calls a control: the name its definition gives, else its text. Every
// realisation names its controls with this.
[[nodiscard]] constexpr std::string_view accessibleName(const ControlDefinition &control)
{
    return control.accessibleName.empty() ? control.text : control.accessibleName;
}

[[nodiscard]] constexpr bool takesFocus(ControlKind kind)
{
    return kind == ControlKind::TextBox || kind == ControlKind::CommandButton;
}

// The position of the control of that name, and of that kind where one is given; none when the
// definition has no such control. (Positions, not pointers: GCC's sanitizer builds cannot compare
// pointers into a constexpr array in a constant expression, and the checks below use it.)
[[nodiscard]] constexpr std::optional<std::size_t>
controlIndex(std::span<const ControlDefinition> controls, std::string_view name,
             std::optional<ControlKind> kind = std::nullopt)
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].name == name && (!kind || controls[i].kind == *kind)) {
            return i;
        }
    }
    return std::nullopt;
}

[[nodiscard]] constexpr const ControlDefinition *
findDefinition(std::span<const ControlDefinition> controls, std::string_view name)
{
    const auto at = controlIndex(controls, name);
    return at ? &controls[*at] : nullptr;
}

// The checks a definition must pass before it is built; used in static_asserts.
namespace check {

constexpr bool uniqueNames(std::span<const ControlDefinition> controls)
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controlIndex(controls.first(i), controls[i].name)) {
            return false;
        }
    }
    return true;
}

// Every control but the pictures has a tab index, and the indexes are 0..n-1, each used once.
constexpr bool tabIndexesDense(std::span<const ControlDefinition> controls)
{
    const auto indexed = std::ranges::count_if(
        controls, [](const ControlDefinition &c) { return c.kind != ControlKind::Picture; });
    for (std::int16_t index = 0; index < indexed; ++index) {
        if (std::ranges::count(controls, index, &ControlDefinition::tabIndex) != 1) {
            return false;
        }
    }
    return std::ranges::all_of(controls, [](const ControlDefinition &c) {
        return (c.kind == ControlKind::Picture) == (c.tabIndex == kNoTabIndex);
    });
}

// A control placed in a container lies wholly inside a frame created before it; only frames
// contain controls.
constexpr bool containedInFrames(std::span<const ControlDefinition> controls)
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlDefinition &c = controls[i];
        if (c.container.empty()) {
            continue;
        }
        const auto at = controlIndex(controls.first(i), c.container, ControlKind::Frame);
        if (!at || c.left < 0 || c.top < 0 || c.left + c.width > controls[*at].width
            || c.top + c.height > controls[*at].height) {
            return false;
        }
    }
    return true;
}

} // namespace check

} // namespace forms
