#pragma once

#include <QAbstractButton>

// On/off switch with its caption on the left and the sliding knob on the right.
class TSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit TSwitch(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRect trackRect() const;
};
