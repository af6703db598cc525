#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTimeEdit;
class QDateEdit;
class QToolButton;
class QCheckBox;
class QDoubleSpinBox;
class TClickLabel;

// The entry editor page (Layout_Erfassung): the controls of one activity entry, laid out
// top to bottom. The window fills and reads them; the page holds no entry state itself.
class TErfassungSeite : public QWidget {
    Q_OBJECT
public:
    explicit TErfassungSeite(QWidget* parent = nullptr);

    // The group's permissions: which object and entry-kind buttons show (a "0" in
    // berTyp / berArt hides one), and cost-centre and billing rows (0 hidden, 1 shown
    // disabled, 2 shown enabled).
    void BerechtigungenAnwenden(const QString& berTyp, const QString& berArt, int berKS, int berFakt);

    QWidget* Layout_0_TYP;
    QToolButton* SpeedButton_Intern;
    QToolButton* SpeedButton_Adresse;
    QToolButton* SpeedButton_Auftrag;
    QToolButton* SpeedButton_WerkAuftrag;
    QToolButton* SpeedButton_Projekt;
    QWidget* Layout_1_Art;
    QLineEdit* Edit_ART;
    QPushButton* Button3;

    QWidget* ColorBox1;
    QToolButton* SpeedButton_Zeit;
    QToolButton* SpeedButton_Material;
    QToolButton* SpeedButton_Spesen;
    QToolButton* SpeedButton_km;

    QWidget* Layout_2_KA;
    QLabel* Label_KAVorne;
    QLineEdit* Edit_KA;

    QWidget* Layout_34_KS_Fakt;
    QWidget* Layout_3_KS;
    QLineEdit* Edit_KS;
    QWidget* Layout_4_Fakt;
    QToolButton* SpeedButton_Verrechnen;
    QToolButton* SpeedButton_Warten;
    QToolButton* SpeedButton_Kulanz;
    QToolButton* SpeedButton_Garantie;
    QToolButton* SpeedButton_NichtVerrechnen;

    QWidget* Layout_56_BezText;
    QWidget* Layout_5_Bez;
    QLineEdit* Edit_Bezeichnung;
    QPushButton* Button2;
    QWidget* Layout_6_Text;
    QPlainTextEdit* Memo_Zusatztext;

    QWidget* Layout_7_Zeit;
    QWidget* Layout_Erfassung_Zeit;
    TClickLabel* Label_DatumEingabe;
    QDateEdit* DateEdit1;
    QTimeEdit* TimeEdit_von;
    QPushButton* Button_LoescheVonBis;
    QTimeEdit* TimeEdit_bis;
    QCheckBox* cbStopZER;
    QLabel* Label_Std100;
    QDoubleSpinBox* Edit_ZeitTotal;
    QPushButton* Button_EditZeitTotal;
    QWidget* Layout_Erfassung_Menge;
    TClickLabel* Label_AnzahlDatum;
    QLineEdit* Edit_Anzahl;
    QLabel* Label_Einheit;
    QToolButton* SpeedButton_StepperMinus;
    QToolButton* SpeedButton_StepperPlus;

    QWidget* Layout_Buttons;
    QPushButton* Button_LoescheZER;
    QPushButton* Button_Fortsetzen;
    QPushButton* Button_Fertig;

    QWidget* pnlTextEingabe;
    QLabel* Label_FeldName;
    QPushButton* btnText_Abbrechen;
    QPushButton* BtnText_OK;
    QLineEdit* Edit_Eingabe;
    QPlainTextEdit* Memo_Eingabe;
    QDateEdit* DateEdit_Eingabe;

protected:
    void resizeEvent(QResizeEvent* event) override;
};
