#include "ui/widgets/TSwitch.h"

#include <QPainter>

namespace {
constexpr int kTrackWidth = 46;
constexpr int kTrackHeight = 24;
constexpr int kGap = 12;
} // namespace

TSwitch::TSwitch(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize TSwitch::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {textWidth + kGap + kTrackWidth + 4, qMax(kTrackHeight + 8, fontMetrics().height() + 8)};
}

QSize TSwitch::minimumSizeHint() const {
    return sizeHint();
}

QRect TSwitch::trackRect() const {
    return {width() - kTrackWidth - 2, (height() - kTrackHeight) / 2, kTrackWidth, kTrackHeight};
}

bool TSwitch::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void TSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QRect track = trackRect();
    const QRect textRect(0, 0, track.left() - kGap, height());
    p.setPen(isEnabled() ? palette().color(QPalette::WindowText)
                         : palette().color(QPalette::Disabled, QPalette::WindowText));
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text());

    QColor trackColor = isChecked() ? QColor(0x2e, 0x7d, 0x32) : QColor(0xbd, 0xbd, 0xbd);
    if (!isEnabled())
        trackColor = trackColor.lighter(140);
    p.setPen(Qt::NoPen);
    p.setBrush(trackColor);
    p.drawRoundedRect(track, kTrackHeight / 2.0, kTrackHeight / 2.0);

    const int knob = kTrackHeight - 6;
    const int knobX = isChecked() ? track.right() - knob - 2 : track.left() + 3;
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(knobX, track.top() + 3, knob, knob));

    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(-2, -2, 2, 2), kTrackHeight / 2.0 + 2, kTrackHeight / 2.0 + 2);
    }
}
