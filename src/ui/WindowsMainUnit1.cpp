#include "ui/WindowsMainUnit1.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "core/tdm.h"
#include "ui/MessageHelper.h"
#include "ui/Stil.h"
#include "ui/TestLogin.h"
#include "ui/pages/TErfassungSeite.h"
#include "ui/pages/TPraesenzzeitSeite.h"
#include "ui/pages/TUserSeite.h"
#include "ui/widgets/Benannt.h"
#include "ui/widgets/Segmente.h"
#include "ui/widgets/Symbole.h"
#include "ui/widgets/TClickLabel.h"
#include "ui/widgets/TListViewUebersicht.h"
#include "ui/widgets/TMultiView.h"
#include "ui/widgets/TSwitch.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int kPanel1Breite = 393;
constexpr int kToolbarHoehe = 44;
const QColor kWeiss(0xff, 0xff, 0xff);

QToolButton* symbolKnopf(const char* name, Symbole::Art art, const QString& tip) {
    auto* b = benannt<QToolButton>(name);
    b->setIcon(Symbole::Icon(art, 26, kWeiss));
    b->setIconSize(QSize(26, 26));
    b->setFixedSize(40, 40);
    b->setToolTip(tip);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QWidget* leiste(const char* name, const char* rolle, int hoehe) {
    auto* w = benannt<QWidget>(name);
    w->setProperty("rolle", QString::fromLatin1(rolle));
    w->setAttribute(Qt::WA_StyledBackground);
    w->setFixedHeight(hoehe);
    return w;
}

void setzeDeckkraft(QWidget* w, qreal deckkraft) {
    if (deckkraft >= 1.0) {
        w->setGraphicsEffect(nullptr);
        return;
    }
    auto* effekt = new QGraphicsOpacityEffect(w);
    effekt->setOpacity(deckkraft);
    w->setGraphicsEffect(effekt);
}
} // namespace

TWindowsForm::TWindowsForm(QWidget* parent) : QWidget(parent) {
    setObjectName(u"WindowsForm"_s);
    setWindowTitle(u"Lumora"_s);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(LumoraStilvorlage());
    resize(1028, 839);

    auto* haupt = new QHBoxLayout(this);
    haupt->setContentsMargins(0, 0, 0, 0);
    haupt->setSpacing(0);
    baueLinkesPanel();
    baueRechtesPanel();
    haupt->addWidget(Panel1);
    haupt->addWidget(Panel2, 1);
    baueOverlays();
    verbindeSignale();
    FormCreate();
}

TWindowsForm::~TWindowsForm() = default;

void TWindowsForm::baueLinkesPanel() {
    Panel1 = benannt<QWidget>("Panel1");
    Panel1->setAttribute(Qt::WA_StyledBackground);
    Panel1->setFixedWidth(kPanel1Breite);
    auto* v = new QVBoxLayout(Panel1);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    ToolBar1 = leiste("ToolBar1", "toolbar", kToolbarHoehe);
    Image_KalenderAnzeigen = symbolKnopf("Image_KalenderAnzeigen", Symbole::Art::Kalender, u"Monatskalender"_s);
    btn_TagMinus = symbolKnopf("btn_TagMinus", Symbole::Art::Zurueck, u"Einen Tag zurück"_s);
    btn_TagPlus = symbolKnopf("btn_TagPlus", Symbole::Art::Vor, u"Einen Tag vor"_s);
    Label_TopDatum = benannt<TClickLabel>("Label_TopDatum");
    Label_TopDatum->setAlignment(Qt::AlignCenter);
    Label_TopDatum->setToolTip(u"Zurück zu heute"_s);
    {
        auto* h = new QHBoxLayout(ToolBar1);
        h->setContentsMargins(4, 2, 4, 2);
        h->setSpacing(2);
        h->addWidget(Image_KalenderAnzeigen);
        h->addWidget(btn_TagMinus);
        h->addWidget(Label_TopDatum, 1);
        h->addWidget(btn_TagPlus);
        // Keeps the date centred while the calendar icon takes the left edge.
        auto* ausgleich = new QWidget;
        ausgleich->setFixedWidth(40);
        ausgleich->setObjectName(u"ToolBar1Ausgleich"_s);
        h->addWidget(ausgleich);
    }
    v->addWidget(ToolBar1);

    Layout_TeamUebersichtFuer = benannt<QWidget>("Layout_TeamUebersichtFuer");
    Layout_TeamUebersichtFuer->setAttribute(Qt::WA_StyledBackground);
    Layout_TeamUebersichtFuer->setFixedHeight(50);
    Label_Personal = benannt<TClickLabel>("Label_Personal", u"Bitte hier klicken..."_s);
    {
        auto* h = new QHBoxLayout(Layout_TeamUebersichtFuer);
        h->setContentsMargins(12, 0, 12, 0);
        auto* fuer = new QLabel(u"Anzeige für:"_s);
        fuer->setProperty("rolle", u"feldname"_s);
        h->addWidget(fuer);
        h->addWidget(Label_Personal, 1);
    }
    Layout_TeamUebersichtFuer->hide();
    v->addWidget(Layout_TeamUebersichtFuer);

    ListView_Uebersicht = benannt<TListViewUebersicht>("ListView_Uebersicht");
    v->addWidget(ListView_Uebersicht, 1);

    ToolBar_Pause_Barcode = leiste("ToolBar_Pause_Barcode", "fussleiste", 56);
    Button_Pause = benannt<QPushButton>("Button_Pause", u"Pause"_s);
    Button_TerminalSperren = benannt<QPushButton>("Button_TerminalSperren", u"Terminal Sperren"_s);
    {
        auto* h = new QHBoxLayout(ToolBar_Pause_Barcode);
        h->setContentsMargins(10, 6, 10, 6);
        h->setSpacing(10);
        for (QPushButton* b : {Button_Pause, Button_TerminalSperren}) {
            b->setMinimumHeight(40);
            h->addWidget(b, 1);
        }
    }
    Button_Pause->setTabletTracking(false);
    v->addWidget(ToolBar_Pause_Barcode);

    ToolBar3 = leiste("ToolBar3", "fussleiste", 48);
    LabelVersion = benannt<TClickLabel>("LabelVersion");
    Button1 = benannt<QPushButton>("Button1", u"Benutzerdaten"_s);
    Button_Planner = benannt<QPushButton>("Button_Planner", u"Planung"_s);
    Button_Planner->hide();
    {
        auto* h = new QHBoxLayout(ToolBar3);
        h->setContentsMargins(10, 4, 10, 4);
        h->setSpacing(8);
        h->addWidget(LabelVersion);
        h->addStretch(1);
        h->addWidget(Button_Planner);
        h->addWidget(Button1);
    }
    v->addWidget(ToolBar3);

    Layout_Kalender = benannt<QWidget>("Layout_Kalender", Panel1);
    Layout_Kalender->setAttribute(Qt::WA_StyledBackground);
    Layout_Kalender->setStyleSheet(u"#Layout_Kalender { background: #ffffff; }"_s);
    new QVBoxLayout(Layout_Kalender);
    Layout_Kalender->hide();
    Panel1->installEventFilter(this);
}

void TWindowsForm::baueRechtesPanel() {
    Panel2 = benannt<QWidget>("Panel2");
    Panel2->setAttribute(Qt::WA_StyledBackground);
    auto* v = new QVBoxLayout(Panel2);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    ToolBar_info = leiste("ToolBar_info", "toolbar", kToolbarHoehe);
    Label_TopInfo = benannt<QLabel>("Label_TopInfo");
    Label_TopInfo->setAlignment(Qt::AlignCenter);
    Image_Synch = benannt<QLabel>("Image_Synch");
    Image_Synch->setPixmap(Symbole::Bild(Symbole::Art::Synchron, 24, kWeiss));
    Image_Synch->setToolTip(u"Synchronisation läuft"_s);
    Label_SyncFortschritt = benannt<QLabel>("Label_SyncFortschritt");
    Label_SyncFortschritt->setMinimumWidth(44);
    Button_UpdateVerfuegbar = benannt<QPushButton>("Button_UpdateVerfuegbar", u"Update verfügbar..."_s);
    Button_UpdateVerfuegbar->hide();
    {
        auto* h = new QHBoxLayout(ToolBar_info);
        h->setContentsMargins(12, 2, 12, 2);
        h->setSpacing(6);
        // Same width on both sides keeps the info text centred over the page.
        auto* links = new QWidget;
        links->setFixedWidth(80);
        h->addWidget(links);
        h->addWidget(Label_TopInfo, 1);
        h->addWidget(Button_UpdateVerfuegbar);
        auto* rechts = new QWidget;
        rechts->setFixedWidth(80);
        auto* r = new QHBoxLayout(rechts);
        r->setContentsMargins(0, 0, 0, 0);
        r->setSpacing(4);
        r->addStretch(1);
        r->addWidget(Label_SyncFortschritt);
        r->addWidget(Image_Synch);
        h->addWidget(rechts);
    }
    v->addWidget(ToolBar_info);

    Layout_TeamZER = benannt<QWidget>("Layout_TeamZER");
    Layout_TeamZER->setAttribute(Qt::WA_StyledBackground);
    Layout_TeamZER->setFixedHeight(44);
    Label_TeamMitglieder = benannt<TClickLabel>("Label_TeamMitglieder");
    {
        auto* h = new QHBoxLayout(Layout_TeamZER);
        h->setContentsMargins(16, 0, 16, 0);
        auto* titel = new QLabel(u"Teamerfassung:"_s);
        titel->setProperty("rolle", u"feldname"_s);
        h->addWidget(titel);
        h->addWidget(Label_TeamMitglieder, 1);
    }
    Layout_TeamZER->hide();
    v->addWidget(Layout_TeamZER);

    Layout_Erfassung = new TErfassungSeite;
    Layout_User = new TUserSeite;
    Layout_Allgemein = benannt<QWidget>("Layout_Allgemein");
    Layout_Allgemein->setAttribute(Qt::WA_StyledBackground);
    Layout_Praesenzzeit = new TPraesenzzeitSeite;
    for (QWidget* seite : {static_cast<QWidget*>(Layout_Erfassung), static_cast<QWidget*>(Layout_User),
                           Layout_Allgemein, static_cast<QWidget*>(Layout_Praesenzzeit)}) {
        v->addWidget(seite, 1);
        seite->hide();
    }
    Layout_Allgemein->show();
}

void TWindowsForm::baueOverlays() {
    MultiView_TeamEinzelauswahl = new TMultiView(Qt::LeftEdge, u"Anzeige für"_s, this, kPanel1Breite);
    MultiView_TeamEinzelauswahl->setObjectName(u"MultiView_TeamEinzelauswahl"_s);
    ListView_TeamPersonal = benannt<QListWidget>("ListView_TeamPersonal");
    MultiView_TeamEinzelauswahl->contentLayout()->addWidget(ListView_TeamPersonal);

    MultiView_TeamAuswahl = new TMultiView(Qt::RightEdge, u"Teammitglieder"_s, this, 360);
    MultiView_TeamAuswahl->setObjectName(u"MultiView_TeamAuswahl"_s);
    ListView_TeamMitglieder = benannt<QListWidget>("ListView_TeamMitglieder");
    Button_TeamAlleEntfernen = benannt<QPushButton>("Button_TeamAlleEntfernen", u"Alle entfernen"_s);
    MultiView_TeamAuswahl->contentLayout()->addWidget(ListView_TeamMitglieder, 1);
    MultiView_TeamAuswahl->contentLayout()->addWidget(Button_TeamAlleEntfernen);

    auto overlay = [this](const char* name, QWidget* host) {
        auto* w = benannt<QWidget>(name, host);
        w->setAttribute(Qt::WA_StyledBackground);
        w->setStyleSheet(u"#%1 { background: #ffffff; }"_s.arg(w->objectName()));
        new QVBoxLayout(w);
        w->hide();
        return w;
    };
    Layout_Auswahl = overlay("Layout_Auswahl", this);
    Layout_Info = overlay("Layout_Info", this);
    Zeit_Panel = overlay("Zeit_Panel", Panel2);
    Layout_Terminal = overlay("Layout_Terminal", this);
    Panel2->installEventFilter(this);

    Timer_Terminal = new QTimer(this);
    Timer_Terminal->setObjectName(u"Timer_Terminal"_s);
    Timer_Terminal->setInterval(10000);
}

void TWindowsForm::verbindeSignale() {
    connect(btn_TagMinus, &QToolButton::clicked, this, &TWindowsForm::btn_TagMinusClick);
    connect(btn_TagPlus, &QToolButton::clicked, this, &TWindowsForm::btn_TagPlusClick);
    connect(Label_TopDatum, &TClickLabel::clicked, this, &TWindowsForm::Label_TopDatumClick);
    connect(Image_KalenderAnzeigen, &QToolButton::clicked, this, &TWindowsForm::Image_KalenderAnzeigenClick);
    connect(LabelVersion, &TClickLabel::clicked, this, &TWindowsForm::LabelVersionClick);
    connect(Button_UpdateVerfuegbar, &QPushButton::clicked, this, &TWindowsForm::Button_UpdateVerfuegbarClick);
    connect(Button1, &QPushButton::clicked, this, &TWindowsForm::Button1Click);
    connect(ListView_Uebersicht, &TListViewUebersicht::itemClicked, this, &TWindowsForm::ListView_UebersichtItemClick);
    connect(Label_Personal, &TClickLabel::clicked, MultiView_TeamEinzelauswahl, &TMultiView::ShowMaster);
    connect(Label_TeamMitglieder, &TClickLabel::clicked, MultiView_TeamAuswahl, &TMultiView::ShowMaster);
    connect(Layout_User->btn_Einloggen, &QPushButton::clicked, this, &TWindowsForm::btn_EinloggenClick);
    verbindeEinstellungen();
}

bool TWindowsForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == Panel1)
            Layout_Kalender->setGeometry(0, kToolbarHoehe, Panel1->width(),
                                         ToolBar_Pause_Barcode->geometry().top() - kToolbarHoehe);
        else if (watched == Panel2)
            Zeit_Panel->setGeometry(Panel2->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void TWindowsForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (QWidget* w : {Layout_Auswahl, Layout_Info, Layout_Terminal})
        w->setGeometry(rect());
    QTimer::singleShot(1, this, [this] { TeamLayoutsAktualisieren(false); });
}

// ---- creation, start state, show and close ----

void TWindowsForm::FormCreate() {
    ZER_MobileID = ZER_ID = ZPZ_MobileID = ZPZ_ID = 0;
    Layout_Erfassung->hide();
    Layout_Praesenzzeit->hide();
    Layout_Erfassung->Edit_ART->clear();
    Layout_Erfassung->Edit_KA->clear();
    Layout_Erfassung->Edit_KS->clear();
    Layout_Erfassung->Edit_Bezeichnung->clear();
    Layout_Erfassung->Memo_Zusatztext->clear();
    Label_SyncFortschritt->hide();
    Image_Synch->hide();
    Zeit_Panel->hide();

    LabelVersion->setText(VersionsText);

    if (dm->InternalLeseBool(SettingKey::User_Anmeldung_OK, false) &&
        dm->InternalLeseINT(SettingKey::Mandant_ID, 0) == 0)
        dm->InternalSchreibeINT(SettingKey::Mandant_ID, dm->GetMandantIDvonUserdaten());
    if (dm->InternalLeseINT(SettingKey::BilderVerkleinern, -1) < 0)
        dm->InternalSchreibeINT(SettingKey::BilderVerkleinern, 1);

    StartzustandHerstellen();

    const QStringList argumente = QCoreApplication::arguments();
    if (argumente.size() > 1 && !argumente.at(1).trimmed().isEmpty())
        LoginLinkVerarbeiten(argumente.at(1));

    PruefeAufLiveUpdate();

    const int serverVersion = dm->InternalLeseINT(SettingKey::ServerVersion, 0);
    Layout_User->LabelInfoServerupdate->setVisible(serverVersion > 0 && serverVersion < 21);
    Button1->setText(u"Benutzerdaten"_s);

    dm->InternalSchreibeINT(SettingKey::ScanLetztesObjekt_Typ, 4);
    dm->InternalSchreibeINT(SettingKey::ScanLetztesObjekt_ID, -1);

    const bool vordergrund = dm->InternalLeseBool(SettingKey::ImmerVordergrund, false);
    setWindowFlag(Qt::WindowStaysOnTopHint, vordergrund);
    Layout_User->Switch_Vordergrund->setChecked(vordergrund);
    Layout_TeamZER->hide();
    Layout_TeamUebersichtFuer->hide();
    const bool vollbild = dm->InternalLeseBool(SettingKey::ImmerVollbild, false);
    setWindowState(vollbild ? (windowState() | Qt::WindowFullScreen) : (windowState() & ~Qt::WindowFullScreen));
    Layout_User->Switch_Vollbild->setChecked(vollbild);

    BarcodeScanAktiv = dm->InternalLeseBool(SettingKey::BarcodeScanAktiv, false);
    Button_TerminalSperren->setVisible(dm->InternalLeseBool(SettingKey::TerminalAktiv, false));

    const bool kalender = dm->InternalLeseBool(SettingKey::Kalenderansicht, true);
    Layout_User->Switch_Kalenderansicht->setChecked(kalender);
    KalenderansichtUmschalten(kalender);

    Layout_User->Switch_AuswahlSortNr->setChecked(dm->InternalLeseBool(SettingKey::AuswahlSortNr, false));
    Layout_User->Switch_AuswahlSortDESC->setChecked(dm->InternalLeseBool(SettingKey::AuswahlSortDESC, false));
    Layout_User->Edit_AuswahlAnzahl->setText(
        QString::number(dm->InternalLeseINT(SettingKey::AuswahlAnzahl, Konstanten::AuswahlZeilen)));
}

void TWindowsForm::StartzustandHerstellen() {
    UebersichtErlaubt = false;
    const QString bisher = dm->InternalLeseTXT(SettingKey::Firma_Pin_Kennwort_bisher, QString());
    Layout_User->btn_Testdaten->setVisible(bisher.isEmpty() || bisher == TestLogin::PinUndKennwort());

    if (!BenutzerdatenPruefen()) {
        ZeigeSeite(SeiteUser, true);
        return;
    }

    UebersichtErlaubt = true;
    const int offen = dm->Zer_AktuelleMobileIDlese();
    TDateTime offenerTag;
    if (offen != 0 && GibDatumDesEintrags(offen, offenerTag)) {
        AnzeigeDatum = offenerTag;
        ZeigeDatumOben();
        ZeigeTagesUebersicht(false, true);
        UebersichtErlaubt = false;
        ZeigeTaetigkeit(offen);
        ZeigeSeite(SeiteErfassung, true);
        ErfassungFreigeben(false);
        UebersichtErlaubt = true;
    } else {
        AnzeigeDatum = Clock::now();
        ZeigeDatumOben();
        ZeigeTagesUebersicht(true, true);
        ZeigeSeite(SeiteErfassung, false);
    }

    if (dm->MitternachtsStempelung())
        ZeigeTagesUebersicht(true, true);

    StarteUpdatePruefung(false);
}

void TWindowsForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // An entry left open in editing keeps its own day; moving the day would show one day's
    // list under another day's date.
    if (Panel1->isEnabled()) {
        AnzeigeDatum = Clock::now();
        ZeigeDatumOben();
    }
    Layout_User->Switch_Terminal->setChecked(dm->InternalLeseBool(SettingKey::TerminalAktiv, false));
}

void TWindowsForm::closeEvent(QCloseEvent* event) {
    SyncBildZeigen(false);
    StoppeSynchronisation();
    QCoreApplication::processEvents();
    dm->DisconnectRemoteDB();
    QCoreApplication::processEvents();
    // Gives a stopped synchronisation thread the time to finish its statement.
    QThread::msleep(500);
    event->accept();
}

// ---- pages ----

void TWindowsForm::ZeigeSeite(int seite, bool enabled) {
    auto zeigeNur = [this](QWidget* sichtbar, bool an) {
        for (QWidget* w : {static_cast<QWidget*>(Layout_Erfassung), static_cast<QWidget*>(Layout_User),
                           Layout_Allgemein, static_cast<QWidget*>(Layout_Praesenzzeit)})
            if (w != sichtbar)
                w->hide();
        sichtbar->setEnabled(an);
        sichtbar->show();
    };
    switch (seite) {
    case SeiteAllgemein:
        zeigeNur(Layout_Allgemein, enabled);
        Layout_TeamZER->hide();
        break;
    case SeitePraesenz: {
        Layout_Praesenzzeit->Label_DatumEingabePZ->setText(Tdm::GibDatumAlsStringFuerEingabefeld(AnzeigeDatum, {}));
        const bool zeitenFrei = !dm->GibBerechtigungBoolean(u"BER_ZPZ_startstop"_s, AktuelleLPE_ID);
        Layout_Praesenzzeit->TimeEditZPZ_Von->setEnabled(zeitenFrei);
        Layout_Praesenzzeit->TimeEditZPZ_Bis->setEnabled(zeitenFrei);
        Layout_Erfassung->setEnabled(false);
        zeigeNur(Layout_Praesenzzeit, enabled);
        Layout_TeamZER->setVisible(fBER_Teamerfassung && fBER_TeamPraesenzzeit && !fBER_TeamLight);
        Layout_TeamZER->setEnabled(Layout_TeamZER->isVisibleTo(this));
        TeamMitgliederZeileAktualisieren();
        break;
    }
    case SeiteErfassung: {
        Layout_Praesenzzeit->setEnabled(false);
        Layout_Erfassung->BerechtigungenAnwenden(fBER_Typ, fBER_Art, fBER_KS, fBER_Fakt);
        const QString datum = Tdm::GibDatumAlsStringFuerEingabefeld(AnzeigeDatum, {});
        Layout_Erfassung->Label_DatumEingabe->setText(datum);
        Layout_Erfassung->Label_AnzahlDatum->setText(
            Tdm::GibDatumAlsStringFuerEingabefeld(AnzeigeDatum, u"Anzahl eingeben:"_s));
        const bool zeitenFrei = !dm->GibBerechtigungBoolean(u"BER_ZER_startstop"_s, AktuelleLPE_ID);
        Layout_Erfassung->TimeEdit_von->setEnabled(zeitenFrei);
        Layout_Erfassung->TimeEdit_bis->setEnabled(zeitenFrei);
        Layout_Erfassung->Button_EditZeitTotal->setVisible(zeitenFrei);
        Layout_Erfassung->Edit_ZeitTotal->hide();
        zeigeNur(Layout_Erfassung, enabled);
        Layout_Erfassung->Button_Fertig->setVisible(enabled);
        Layout_TeamZER->setVisible(fBER_Teamerfassung && !fBER_TeamLight);
        TeamMitgliederZeileAktualisieren();
        break;
    }
    case SeiteUser:
        Layout_TeamZER->hide();
        zeigeNur(Layout_User, enabled);
        Layout_User->Switch_bildverkleinern->setChecked(dm->InternalLeseINT(SettingKey::BilderVerkleinern, -1) == 1);
        Layout_User->Switch_Kalenderansicht->setChecked(dm->InternalLeseBool(SettingKey::Kalenderansicht, true));
        Layout_User->Edit_TerminalTimeout->setText(
            QString::number(dm->InternalLeseINT(SettingKey::TerminalTimeOut, 10)));
        Layout_User->Edit_TerminalTimeout->setEnabled(Layout_User->Switch_Terminal->isChecked());
        break;
    default:
        break;
    }
}

void TWindowsForm::TeamMitgliederZeileAktualisieren() {
    const bool sichtbar = Layout_TeamZER->isVisibleTo(this);
    MultiView_TeamAuswahl->setEnabled(sichtbar);
    if (sichtbar)
        Label_TeamMitglieder->setText(dm->TeamGibTeamMitgliederAlsString());
}

void TWindowsForm::TeamLayoutsAktualisieren(bool nachUebersicht) {
    Layout_TeamUebersichtFuer->setVisible(fBER_Teamerfassung);
    Layout_TeamZER->setVisible(fBER_Teamerfassung && !fBER_TeamLight);
    if (nachUebersicht) {
        MultiView_TeamEinzelauswahl->setEnabled(Layout_TeamUebersichtFuer->isVisibleTo(this));
        MultiView_TeamAuswahl->setEnabled(Layout_TeamZER->isVisibleTo(this));
    }
}

void TWindowsForm::ZeigeDatumOben() {
    Label_TopDatum->setText(AnzeigeDatum.format(u"ddd dd.mm.yyyy"_s));
}

// ---- day navigation ----

void TWindowsForm::btn_TagMinusClick() {
    if (m_kalenderSichtbar)
        return;
    if (AnzeigeDatum.datePart() < dm->GibDatumMaxAlterDerZeiten().datePart())
        return;
    AnzeigeDatum = AnzeigeDatum.addDays(-1);
    NachTagesWechsel();
}

void TWindowsForm::btn_TagPlusClick() {
    if (m_kalenderSichtbar)
        return;
    if (AnzeigeDatum.datePart() >= Clock::today() &&
        !dm->GibBerechtigungBoolean(u"BER_InZukunftErlauben"_s, AktuelleLPE_ID))
        return;
    AnzeigeDatum = AnzeigeDatum.addDays(1);
    NachTagesWechsel();
}

void TWindowsForm::Label_TopDatumClick() {
    if (m_kalenderSichtbar)
        return;
    AnzeigeDatum = Clock::now();
    NachTagesWechsel();
}

void TWindowsForm::NachTagesWechsel() {
    ZeigeDatumOben();
    ZeigeTagesUebersicht(true, true);
    Layout_Erfassung->setEnabled(false);
    Layout_Praesenzzeit->setEnabled(false);
    Layout_Erfassung->Edit_ZeitTotal->hide();
}

void TWindowsForm::Image_KalenderAnzeigenClick() {
    const bool warSichtbar = m_kalenderSichtbar;
    KalenderZeigen(!warSichtbar);
    if (warSichtbar)
        Label_TopDatumClick();
}

void TWindowsForm::KalenderansichtUmschalten(bool calendarMode) {
    Image_KalenderAnzeigen->setVisible(calendarMode);
    btn_TagMinus->setVisible(!calendarMode);
    btn_TagPlus->setVisible(!calendarMode);
}

void TWindowsForm::KalenderZeigen(bool visible) {
    m_kalenderSichtbar = visible;
    Layout_Kalender->setVisible(visible);
    if (visible)
        Layout_Kalender->raise();
}

// ---- editing locks ----

void TWindowsForm::ErfassungSperren(bool on) {
    dm->ZER_SetzeSperre(ZER_MobileID, on);
    Panel1->setEnabled(!on);
    if (on) {
        setzeDeckkraft(ListView_Uebersicht, 0.5);
        Layout_Erfassung->Button_Fertig->setText(u"Speichern"_s);
        dm->ZER_AktuelleMobileIDschreibe(ZER_MobileID);
        StoppeSynchronisation();
        TerminalTimerSetzen(false);
    } else {
        setzeDeckkraft(ListView_Uebersicht, 1.0);
        Layout_Erfassung->Button_Fertig->setText(u"Neu"_s);
        dm->ZER_AktuelleMobileIDschreibe(0);
    }
}

void TWindowsForm::ErfassungFreigeben(bool enabled) {
    TErfassungSeite* e = Layout_Erfassung;
    for (QWidget* w : {e->ColorBox1, e->Layout_0_TYP, e->Layout_2_KA, e->Layout_34_KS_Fakt, e->Layout_56_BezText,
                       e->Layout_Erfassung_Menge, static_cast<QWidget*>(e->Button_EditZeitTotal),
                       static_cast<QWidget*>(e->Button_LoescheVonBis), static_cast<QWidget*>(e->DateEdit1),
                       static_cast<QWidget*>(e->Edit_ZeitTotal), static_cast<QWidget*>(e->Label_DatumEingabe),
                       static_cast<QWidget*>(e->TimeEdit_von), static_cast<QWidget*>(e->TimeEdit_bis), Layout_TeamZER})
        w->setEnabled(enabled);
    if (enabled) {
        const bool zeitenFrei = !dm->GibBerechtigungBoolean(u"BER_ZER_startstop"_s, AktuelleLPE_ID);
        e->TimeEdit_von->setEnabled(zeitenFrei);
        e->TimeEdit_bis->setEnabled(zeitenFrei);
    }
    e->Button_EditZeitTotal->setVisible(e->TimeEdit_von->isEnabled());
    e->Edit_ZeitTotal->hide();
    e->Button_LoescheZER->setText(enabled ? u"Löschen"_s : u"Bearbeiten"_s);
    e->Button_LoescheZER->setProperty("tag", enabled ? 0 : 1);
}

void TWindowsForm::PraesenzzeitSperren(int mobileID, bool on) {
    dm->ZPZ_SetzeGeperrt(mobileID, on);
    if (!on)
        dm->UpdateRestart();
}

void TWindowsForm::TerminalTimerSetzen(bool on) {
    if (on && Button_TerminalSperren->isVisibleTo(this))
        Timer_Terminal->start();
    else
        Timer_Terminal->stop();
}

// ---- keyboard, buttons and the version label ----

void TWindowsForm::keyPressEvent(QKeyEvent* event) {
    if (Zeit_Panel->isVisible() || !Button_TerminalSperren->isVisibleTo(this)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->text() == u"+"_s) {
        dm->ZPZ_PruefeAufOffeneZPZundStarteZPZ(AngemeldeteLPE_ID, Clock::now(), true);
        ZeigeTagesUebersicht(true, false);
    } else if (event->text() == u"-"_s) {
        dm->PauseBeendePraesenzzeit(Clock::now());
        ZeigeTagesUebersicht(true, false);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void TWindowsForm::Button1Click() {
    EinstellungenWaehrendPause = true;
    Panel2->setEnabled(true);
    ZeigeSeite(SeiteUser, true);
}

void TWindowsForm::LabelVersionClick() {
    const int sekunde = int(Clock::timeOfDay().totalMSecs() / 1000);
    if (m_versionKlickStart < 0 || sekunde - m_versionKlickStart > 5 || sekunde < m_versionKlickStart) {
        m_versionKlickStart = sekunde;
        m_versionKlickAnzahl = 0;
        return;
    }
    ++m_versionKlickAnzahl;
    if (m_versionKlickAnzahl != 2 || AnzeigeDatum.value() == 0.0)
        return;
    m_versionKlickStart = -1;
    m_versionKlickAnzahl = 0;
    MessageHelper::Frage(this, u"Analysedaten hochladen?"_s, [this] { AnalysedatenHochladen(); });
}
