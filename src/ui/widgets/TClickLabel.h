#pragma once

#include <QLabel>

// A label that reacts to a tap like a button.
class TClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit TClickLabel(const QString& text = {}, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
