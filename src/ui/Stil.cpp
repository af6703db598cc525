#include "ui/Stil.h"

QString LumoraStilvorlage() {
    return QStringLiteral(R"(
QWidget#WindowsForm { background: #ffffff; font-size: 14px; }
QWidget#Panel1 { background: #ffffff; border-right: 1px solid #cfd8dc; }
QWidget#Panel2 { background: #fafafa; }
QWidget#ErfassungInhalt, QWidget#UserInhalt { background: #fafafa; }
QWidget#Layout_Praesenzzeit, QWidget#Layout_Allgemein { background: #fafafa; }

QWidget[rolle="toolbar"] { background: #37474f; }
QWidget[rolle="toolbar"] QLabel { color: #ffffff; }
QWidget[rolle="toolbar"] QToolButton { background: transparent; border: none; padding: 4px; }
QWidget[rolle="toolbar"] QToolButton:pressed { background: #455a64; border-radius: 4px; }
QWidget[rolle="fussleiste"] { background: #eceff1; border-top: 1px solid #cfd8dc; }
QLabel#Label_TopDatum { font-size: 17px; font-weight: bold; }
QLabel#Label_TopInfo { font-size: 15px; }
QLabel#Label_SyncFortschritt { font-size: 12px; color: #ffffff; }
QLabel#LabelVersion { color: #9e9e9e; font-size: 11px; }
QWidget#Layout_TeamUebersichtFuer, QWidget#Layout_TeamZER { background: #fff8e1; border-bottom: 1px solid #ffe082; }

QPushButton { background: #ffffff; border: 1px solid #b0bec5; border-radius: 6px; padding: 6px 14px; color: #263238; }
QPushButton:pressed { background: #eceff1; }
QPushButton:disabled { color: #9e9e9e; border-color: #e0e0e0; }
QPushButton[rolle="gruen"] { background: #2e7d32; border-color: #2e7d32; color: #ffffff; font-weight: bold; }
QPushButton[rolle="gruen"]:disabled { background: #a5d6a7; border-color: #a5d6a7; }
QPushButton[rolle="rot"] { background: #c62828; border-color: #c62828; color: #ffffff; font-weight: bold; }
QPushButton[rolle="rot"]:disabled { background: #ef9a9a; border-color: #ef9a9a; }
QPushButton#Button_UpdateVerfuegbar { background: #dc143c; border-color: #dc143c; color: #ffffff; font-weight: bold; }

QToolButton[segment] { background: #ffffff; border: 1px solid #90a4ae; border-left: none; padding: 6px 4px; color: #263238; }
QToolButton[segment="links"] { border-left: 1px solid #90a4ae; border-top-left-radius: 6px; border-bottom-left-radius: 6px; }
QToolButton[segment="rechts"] { border-top-right-radius: 6px; border-bottom-right-radius: 6px; }
QToolButton[segment="beide"] { border-left: 1px solid #90a4ae; border-radius: 6px; }
QToolButton[segment]:checked { background: #1565c0; color: #ffffff; border-color: #1565c0; }
QToolButton[segment]:disabled { color: #9e9e9e; }
QToolButton[segment]:checked:disabled { background: #90caf9; color: #ffffff; }

QLineEdit, QPlainTextEdit, QTimeEdit, QDateEdit, QDoubleSpinBox {
    background: #ffffff; border: 1px solid #b0bec5; border-radius: 4px; padding: 4px 6px; min-height: 24px; }
QLineEdit:disabled, QPlainTextEdit:disabled, QTimeEdit:disabled { background: #f5f5f5; color: #757575; }
QLineEdit:focus, QPlainTextEdit:focus { border-color: #1565c0; }
QTimeEdit[rolle="zeit"] { font-size: 18px; color: #0000ff; }

QLabel[rolle="feldname"] { color: #546e7a; }
QLabel[rolle="abschnitt"] { color: #800000; font-weight: bold; font-size: 16px; }
QLabel[rolle="gruen"] { color: #006400; }
QLabel[rolle="ueberschrift"] { font-size: 20px; font-weight: bold; }
QLabel[rolle="datum"] { font-weight: bold; color: #263238; padding: 4px 0; }
QLabel[rolle="summe"] { font-size: 18px; font-weight: bold; color: #0000ff; }
QLabel[rolle="serverhinweis"] { font-size: 20px; font-weight: bold; color: #556b2f; background: #f1f8e9; }
QCheckBox[rolle="stopp"] { color: #ffffff; background: #d32f2f; border-radius: 4px; padding: 2px 6px; font-weight: bold; }
QListWidget { border: none; }
)");
}
