#pragma once

#include <QWidget>

class QCheckBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;
class TClickLabel;

// The presence-time page (Layout_Praesenzzeit): one presence time with its from and to
// time and hours. The window fills and reads the controls.
class TPraesenzzeitSeite : public QWidget {
    Q_OBJECT
public:
    explicit TPraesenzzeitSeite(QWidget* parent = nullptr);

    QLabel* Label26;
    TClickLabel* Label_DatumEingabePZ;
    QDateEdit* DateEdit2;
    QTimeEdit* TimeEditZPZ_Von;
    QTimeEdit* TimeEditZPZ_Bis;
    QCheckBox* cbStopZPZ;
    QLabel* labelZPZ_Std100;
    QPushButton* Button_LoeschenZPZ;
};
