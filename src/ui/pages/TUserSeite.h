#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class TSwitch;

// The login and settings page (Layout_User): the login fields, the stored-login buttons,
// the key numbers and the display, selection-list and terminal options.
class TUserSeite : public QWidget {
    Q_OBJECT
public:
    explicit TUserSeite(QWidget* parent = nullptr);

    QLabel* Label3;
    QLabel* label_Firmaname;
    QLineEdit* Edit_FirmaPin;
    QLineEdit* Edit_FirmaKennwort;
    QLabel* Label_UserName;
    QLineEdit* Edit_userKurz;
    QLineEdit* Edit_userKennwort;
    QPushButton* Button_LoginDelete;
    QPushButton* Button_LoginAuswahl;
    QPushButton* btn_Einloggen;
    QPushButton* Button_NeuLaden;
    QPushButton* btn_Testdaten;
    QLabel* Label39;
    TSwitch* Switch_Vordergrund;
    TSwitch* Switch_Vollbild;
    TSwitch* Switch_Kalenderansicht;
    TSwitch* Switch_bildverkleinern; // mirrors BilderVerkleinern, never shown

    QLabel* Label1;
    QLabel* Label15;
    QLineEdit* Edit_Crypto1;
    QLineEdit* Edit_Crypto2;
    QLineEdit* Edit_Crypto3;
    QLabel* Label44;
    QLineEdit* Edit_AuswahlAnzahl;
    TSwitch* Switch_AuswahlSortNr;
    TSwitch* Switch_AuswahlSortDESC;
    TSwitch* Switch_Terminal;
    QLineEdit* Edit_TerminalTimeout;

    QLabel* LabelInfoServerupdate;
};
