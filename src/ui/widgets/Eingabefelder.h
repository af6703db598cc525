#pragma once

#include <QString>

class QLabel;
class QTimeEdit;

// The field caption and the tap-to-edit time field that the detail pages share, so the
// entry and the presence page look alike.
QLabel* neuerFeldname(const QString& text);
// Read-only: times are changed through the time panel, not by typing.
QTimeEdit* neuesZeitFeld(const char* name);
