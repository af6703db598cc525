#include "ui/widgets/TClickLabel.h"

#include <QMouseEvent>

TClickLabel::TClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && isEnabled())
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
