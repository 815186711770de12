// SPDX-License-Identifier: MIT
// The keys a form's window answers beyond the toolkit's own, as the core's key table says: Qt's
// key events mapped onto it, and one event filter that asks the table and does what it answers.
#pragma once

#include <span>

class QObject;
class QWidget;

namespace forms {

class QtFindRow;

// Watches `window` and `widgets` (the form's, one per control) for the table's keys, and the
// component boxes for their context menus, before the control they go to sees them; the find's
// actions go to `find`, which watches its own field with the filter returned. The filter lives as
// long as `find`.
QObject *bindKeys(QWidget *window, std::span<QWidget *const> widgets, QtFindRow &find);

} // namespace forms
