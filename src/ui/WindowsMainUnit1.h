#pragma once

#include "core/tdatetime.h"
#include "sync/SyncTypes.h"

#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class QToolButton;
class TClickLabel;
class TDatenAusCloudThread;
class TErfassungSeite;
class TListViewUebersicht;
class TMultiView;
class TPraesenzzeitSeite;
class TSqlQuery;
class TUserSeite;
struct UebersichtZeile;

// The one window of daily work: the left panel shows the day (the daily overview), the
// right panel one page at a time (entry editor, presence time, login and settings, or an
// empty general page). All domain work goes through Tdm; the window decides when to call
// what and shows the result. Closing it ends the program.
class TWindowsForm : public QWidget {
    Q_OBJECT
public:
    enum Seite { SeiteAllgemein = 0, SeitePraesenz = 1, SeiteErfassung = 2, SeiteUser = 3 };

    // The version label's text, also the version written into uploaded rows.
    static inline const QString VersionsText = QStringLiteral(" V 1.52.0");

    explicit TWindowsForm(QWidget* parent = nullptr);
    ~TWindowsForm() override;

    // ---- frame ----
    void StartzustandHerstellen();
    void ZeigeSeite(int seite, bool enabled);
    void ZeigeDatumOben();
    void ErfassungSperren(bool on);
    void ErfassungFreigeben(bool enabled);
    void PraesenzzeitSperren(int mobileID, bool on);
    void KalenderansichtUmschalten(bool calendarMode);
    void KalenderZeigen(bool visible);
    void TerminalTimerSetzen(bool on);

    // ---- login ----
    bool BenutzerdatenPruefen();
    void btn_EinloggenClick();
    void LoginLinkVerarbeiten(const QString& argument);

    // ---- daily overview ----
    void ZeigeTagesUebersicht(bool enablePanel, bool force);
    void ListView_UebersichtItemClick(int row);
    void ZeigeTaetigkeit(int mobileID);
    void ZeigePraesenzzeit(int mobileID);

    // ---- synchronisation ----
    void StarteUpdatePruefung(bool force);
    void StarteSynchronisation();
    void StoppeSynchronisation();
    void SyncBildZeigen(bool visible);
    void ReagiereAufSyncStatus(TDatenAusCloudThread* sender, TSyncStatus status, int value);

    // ---- left panel ----
    QWidget* Panel1;
    QWidget* ToolBar1;
    QToolButton* Image_KalenderAnzeigen;
    QToolButton* btn_TagMinus;
    TClickLabel* Label_TopDatum;
    QToolButton* btn_TagPlus;
    QWidget* Layout_TeamUebersichtFuer;
    TClickLabel* Label_Personal;
    TListViewUebersicht* ListView_Uebersicht;
    QWidget* Layout_Kalender;
    QWidget* ToolBar_Pause_Barcode;
    QPushButton* Button_Pause;
    QPushButton* Button_TerminalSperren;
    QWidget* ToolBar3;
    TClickLabel* LabelVersion;
    QPushButton* Button1;
    QPushButton* Button_Planner;
    TMultiView* MultiView_TeamEinzelauswahl;
    QListWidget* ListView_TeamPersonal;

    // ---- right panel ----
    QWidget* Panel2;
    QWidget* ToolBar_info;
    QLabel* Label_TopInfo;
    QLabel* Image_Synch;
    QLabel* Label_SyncFortschritt;
    QPushButton* Button_UpdateVerfuegbar;
    QWidget* Layout_TeamZER;
    TClickLabel* Label_TeamMitglieder;
    TMultiView* MultiView_TeamAuswahl;
    QListWidget* ListView_TeamMitglieder;
    QPushButton* Button_TeamAlleEntfernen;
    TErfassungSeite* Layout_Erfassung;
    TUserSeite* Layout_User;
    QWidget* Layout_Allgemein;
    TPraesenzzeitSeite* Layout_Praesenzzeit;

    // ---- overlays ----
    QWidget* Layout_Auswahl;
    QWidget* Layout_Info;
    QWidget* Zeit_Panel;
    QWidget* Layout_Terminal;
    QTimer* Timer_Terminal;

    // ---- window state ----
    bool UebersichtErlaubt = false;
    QString FirmaPin;
    QString FirmaKennwort;
    QString UserKennwort;
    QString FirmaName;
    QString UserName;
    bool EinstellungenWaehrendPause = false;
    bool BarcodeScanAktiv = false;
    bool PlanungGeloescht = false;
    // Set by the terminal login, which skips the key check of the login sequence.
    bool TerminalLoginLaeuft = false;
    // The entry in the editor and the presence time in the presence panel.
    int ZER_MobileID = 0;
    int ZER_ID = 0;
    int ZER_Typ = 0;
    int ZPZ_MobileID = 0;
    int ZPZ_ID = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void baueLinkesPanel();
    void baueRechtesPanel();
    void baueOverlays();
    void verbindeSignale();
    void verbindeEinstellungen();
    void FormCreate();

    void btn_TagMinusClick();
    void btn_TagPlusClick();
    void Label_TopDatumClick();
    void Image_KalenderAnzeigenClick();
    void NachTagesWechsel();
    void LabelVersionClick();
    void AnalysedatenHochladen();
    void FTPUploadStatus(int Status, const QString& Text, qint64 Counter);
    void PruefeAufLiveUpdate();
    void Button_UpdateVerfuegbarClick();
    void Button1Click();
    void TeamLayoutsAktualisieren(bool nachUebersicht);
    void TeamMitgliederZeileAktualisieren();
    bool ErfassungIstMittenImBearbeiten() const;
    // The day of the tenant's entry with that mobile id; false when there is none.
    bool GibDatumDesEintrags(int mobileID, TDateTime& datum);
    void btn_TestdatenClick();

    // ---- overview rows ----
    void FuellePraesenzAbschnitt(TDateTime buchungssperre);
    void FuelleArbeitszeitAbschnitt(TDateTime buchungssperre);
    void FuelleMaterialAbschnitt(TDateTime buchungssperre);
    // The entry rows of one section; mengeText fills the left column, the only part that differs.
    void FuegeErfassungsZeilenHinzu(const QString& sql, bool mitTeam,
                                    const std::function<void(const TSqlQuery&, UebersichtZeile&)>& mengeText);
    bool NeueZerZeileErlaubt(TDateTime buchungssperre) const;
    void SetzeZeilenStatus(UebersichtZeile& zeile, int ampel, bool istZER, bool istTeam);
    static QString StundenText(double stunden);

    // Clicks on the version label within 5 seconds of the series' first click.
    int m_versionKlickStart = -1;
    int m_versionKlickAnzahl = 0;
    bool m_kalenderSichtbar = false;
};
