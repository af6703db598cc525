#pragma once

#include <QList>
#include <QToolButton>

// A row of toggle buttons drawn as one segmented control. The first and last visible
// button get the rounded ends; call SegmenteEnden again after changing visibility.
QToolButton* neuerSegmentKnopf(const char* name, const QString& text, QWidget* parent = nullptr);
void SegmenteEnden(const QList<QToolButton*>& knoepfe);
