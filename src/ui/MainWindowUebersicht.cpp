// The daily overview: three sections of the shown day (presence, working time, material /
// expenses / km), rebuilt from the database after every change, and what a tap on a row does.
#include "ui/WindowsMainUnit1.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "core/tdm.h"
#include "ui/MessageHelper.h"
#include "ui/pages/TErfassungSeite.h"
#include "ui/pages/TPraesenzzeitSeite.h"
#include "ui/widgets/TListViewUebersicht.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QString uhrzeit(TDateTime t) {
    return t.format(u"hh.nn"_s);
}

QString zweiStellen(double wert) {
    return QLocale().toString(wert, 'f', 2);
}

// Creation operations answer 0 when the row could not be stored and -1 when not permitted;
// every other number is the new record's (negative) mobile id.
bool istNeuerDatensatz(int mobileID) {
    return mobileID != 0 && mobileID != -1;
}

QString zahlText(double wert) {
    return QLocale().toString(wert, 'f', QLocale::FloatingPointShortest);
}

UebersichtZeile kopfZeile(const QString& text) {
    UebersichtZeile z;
    z.IstHeader = true;
    z.HeaderText = text;
    return z;
}

UebersichtZeile neuZeile(const QString& typ, const QString& text) {
    UebersichtZeile z;
    z.ItemTyp = typ;
    z.ItemZusatzText.Text = text;
    return z;
}

} // namespace

QString TWindowsForm::StundenText(double stunden) {
    return stunden > 0 ? u" ( "_s + zahlText(stunden) + u" Std. )"_s : QString();
}

void TWindowsForm::ZeigeTagesUebersicht(bool enablePanel, bool force) {
    if (!UebersichtErlaubt)
        return;
    if (!Panel1->isEnabled() && !force)
        return;
    Panel1->setEnabled(enablePanel);

    const TDateTime sperre = dm->GibDatumBuchungssperre(AktuelleLPE_ID);
    ListView_Uebersicht->BeginUpdate();
    ListView_Uebersicht->Clear();
    FuellePraesenzAbschnitt(sperre);
    FuelleArbeitszeitAbschnitt(sperre);
    FuelleMaterialAbschnitt(sperre);
    ListView_Uebersicht->EndUpdate();

    Button_Planner->setVisible(dm->InternalLeseBool(SettingKey::PlanungAktiv, false) &&
                               dm->GibBerechtigungInteger(u"BER_Planung"_s, AngemeldeteLPE_ID) > 0);
    QTimer::singleShot(50, this, [this] { TeamLayoutsAktualisieren(true); });
    Button_Pause->setVisible(true);
    ToolBar_Pause_Barcode->setVisible(Button_Pause->isVisibleTo(this));
    Button_TerminalSperren->setVisible(dm->InternalLeseBool(SettingKey::TerminalAktiv, false));
}

void TWindowsForm::SetzeZeilenStatus(UebersichtZeile& zeile, int ampel, bool istZER, bool istTeam) {
    zeile.ItemAmpelImage = ampel;
    int nummer = ampel;
    if (istZER && dm->GibBerechtigungBoolean(u"BER_ZERnurAnsicht"_s, AngemeldeteLPE_ID))
        nummer += 10;
    if (istTeam) {
        zeile.ItemBackGroundText.Text = u"TEAM"_s;
        if (!fBER_Teamerfassung && nummer < 10)
            nummer += 10;
    }
    zeile.ItemAmpelStatus = QString::number(nummer);
}

void TWindowsForm::FuellePraesenzAbschnitt(TDateTime sperre) {
    if (!fBER_Praesenzzeit || (AktuelleLPE_ID != AngemeldeteLPE_ID && !fBER_TeamPraesenzzeit))
        return;
    const TDateTime tag = AnzeigeDatum.datePart();
    ListView_Uebersicht->AddZeile(
        kopfZeile(u"Präsenzzeit "_s + StundenText(dm->ZPZ_GibStundenZuTag(AnzeigeDatum, AktuelleLPE_ID))));

    bool neueErlaubt = true;
    {
        auto q = dm->GetQueryInstance();
        q->setSQL(
            u" select ZPZ_ID,MobileID, ZPZ_Von, ZPZ_Bis, ZPZ_Std100,CloudStatus, BisIstNULL  from "
            u"Z_Praesenzzeit  where zpz_datum = :datum and ZPZ_LPE_ID = :LPE and geloescht = 0 and Mandant_ID = "_s +
            QString::number(dm->FMandantID) + u" order by zpz_von"_s);
        q->ParamByName(u"datum").setAsDateTime(tag);
        q->ParamByName(u"LPE").setAsInteger(AktuelleLPE_ID);
        if (q->Open()) {
            while (!q->Eof()) {
                UebersichtZeile z;
                z.ItemTyp = u"ZPZ"_s;
                z.Tag = q->FieldByName(u"MobileID").AsInteger();
                z.ItemZeitVon.Text = uhrzeit(q->FieldByName(u"ZPZ_Von").AsDateTime()) + u" - "_s;
                const TDateTime bis = q->FieldByName(u"ZPZ_Bis").AsDateTime();
                if (bis.value() != 0.0 && q->FieldByName(u"BisIstNULL").AsInteger() != 1) {
                    z.ItemZeitBis.Text = uhrzeit(bis);
                    z.ItemZeitTotal.Text = zweiStellen(q->FieldByName(u"ZPZ_Std100").AsFloat()) + u" Std."_s;
                } else {
                    z.ItemZeitBis.Text = u"offen"_s;
                    neueErlaubt = false;
                }
                const int ampel = dm->GibAmpelStatus(true, false, q->FieldByName(u"ZPZ_ID").AsInteger(), z.Tag,
                                                     q->FieldByName(u"CloudStatus").AsInteger(), AktuelleLPE_ID);
                SetzeZeilenStatus(z, ampel, false, dm->TeamIstBestehenderEintragZPZ(z.Tag));
                ListView_Uebersicht->AddZeile(z);
                if (!q->Next())
                    break;
            }
        }
    }

    if (!neueErlaubt)
        return;
    if (tag != Clock::today())
        neueErlaubt = !dm->GibBerechtigungBoolean(u"BER_ZPZ_startstop"_s, AktuelleLPE_ID);
    neueErlaubt = neueErlaubt && tag > sperre;
    if (neueErlaubt)
        ListView_Uebersicht->AddZeile(neuZeile(u"ZPZNEU"_s, u">>> Neue Präsenzzeit"_s));
}

bool TWindowsForm::NeueZerZeileErlaubt(TDateTime sperre) const {
    const TDateTime tag = AnzeigeDatum.datePart();
    bool erlaubt = tag == Clock::today() || !dm->GibBerechtigungBoolean(u"BER_ZER_startstop"_s, AktuelleLPE_ID);
    erlaubt = erlaubt && tag > sperre;
    return erlaubt && !dm->GibBerechtigungBoolean(u"BER_ZERnurAnsicht"_s, AngemeldeteLPE_ID);
}

void TWindowsForm::FuegeErfassungsZeilenHinzu(
    const QString& sql, bool mitTeam, const std::function<void(const TSqlQuery&, UebersichtZeile&)>& mengeText) {
    auto q = dm->GetQueryInstance();
    q->setSQL(sql + QString::number(dm->FMandantID) + u" order by zer_von"_s);
    q->ParamByName(u"datum").setAsDateTime(AnzeigeDatum.datePart());
    q->ParamByName(u"LPE").setAsInteger(AktuelleLPE_ID);
    if (!q->Open())
        return;
    while (!q->Eof()) {
        UebersichtZeile z;
        z.ItemTyp = u"ZER"_s;
        z.Tag = q->FieldByName(u"MobileID").AsInteger();
        z.ItemZusatzText.Text = dm->GibAuftragAlsText(*q, false);
        mengeText(*q, z);
        z.ItemKostenArt.Text = q->FieldByName(u"ZER_Bezeichnung").AsString();
        const int ampel = dm->GibAmpelStatus(false, true, q->FieldByName(u"ZER_ID").AsInteger(), z.Tag,
                                             q->FieldByName(u"CloudStatus").AsInteger(), AktuelleLPE_ID);
        SetzeZeilenStatus(z, ampel, true, mitTeam && dm->TeamIstBestehenderEintrag(z.Tag));
        ListView_Uebersicht->AddZeile(z);
        if (!q->Next())
            break;
    }
}

void TWindowsForm::FuelleArbeitszeitAbschnitt(TDateTime sperre) {
    if (fBER_Art.startsWith(u'0'))
        return;
    ListView_Uebersicht->AddZeile(
        kopfZeile(u"Arbeitszeit "_s + StundenText(dm->ZER_GibStundenZuTag(AnzeigeDatum, AktuelleLPE_ID))));
    FuegeErfassungsZeilenHinzu(
        u" select *   from Z_Erfassung  where zer_datum = :datum and ZER_LPE = :LPE and "
        u"Zer_type in (0,1,2,3) and geloescht = 0 and Mandant_ID = "_s,
        true, [](const TSqlQuery& q, UebersichtZeile& z) {
            const TDateTime von = q.FieldByName(u"ZER_Von").AsDateTime();
            const TDateTime bis = q.FieldByName(u"ZER_Bis").AsDateTime();
            const bool bisLeer = bis.value() == 0.0 || q.FieldByName(u"BisIstNULL").AsInteger() == 1;
            const double std100 = q.FieldByName(u"ZER_Std100").AsFloat();
            if ((von.value() != 0.0 && q.FieldByName(u"VonIstNULL").AsInteger() != 1) || !bisLeer || std100 == 0.0) {
                z.ItemZeitVon.Text = uhrzeit(von) + u" - "_s;
                z.ItemZeitBis.Text = bisLeer ? u"offen"_s : uhrzeit(bis);
            } else {
                z.ItemZeitVon.Text = zweiStellen(std100) + u" Std."_s;
            }
        });
    if (NeueZerZeileErlaubt(sperre))
        ListView_Uebersicht->AddZeile(neuZeile(u"ZERNEU"_s, u">>> Neu"_s));
}

void TWindowsForm::FuelleMaterialAbschnitt(TDateTime sperre) {
    auto an = [](int i) { return i >= fBER_Art.size() || fBER_Art.at(i) != u'0'; };
    QString kopf;
    if (an(1))
        kopf = u"Material"_s;
    if (an(2))
        kopf += kopf.isEmpty() ? u"Spesen"_s : u" / Spesen"_s;
    if (an(3))
        kopf += kopf.isEmpty() ? u"km"_s : u" / km"_s;
    if (kopf.isEmpty())
        return;
    ListView_Uebersicht->AddZeile(kopfZeile(kopf));
    FuegeErfassungsZeilenHinzu(u" select *   from Z_Erfassung  where zer_datum = :datum and ZER_LPE = :LPE and "
                               u"Zer_type in (4,5,6,9) and geloescht = 0  and Mandant_ID = "_s,
                               false, [](const TSqlQuery& q, UebersichtZeile& z) {
                                   const int typ = q.FieldByName(u"ZER_Type").AsInteger();
                                   const double menge = q.FieldByName(u"ZER_Std100").AsFloat();
                                   if (typ == 4 || typ == 6)
                                       z.ItemZeitVon.Text = zahlText(menge) + u" x "_s;
                                   else if (typ == 5)
                                       z.ItemZeitVon.Text = zahlText(q.FieldByName(u"ZER_Km").AsFloat()) + u" km "_s;
                                   else
                                       z.ItemZeitVon.Text =
                                           zahlText(menge) + u" "_s +
                                           dm->GibMengenEinheitZuMatID(q.FieldByName(u"ZER_MAT_ID").AsInteger());
                               });
    if (fBER_Art.startsWith(u'0') && NeueZerZeileErlaubt(sperre))
        ListView_Uebersicht->AddZeile(neuZeile(u"ZERNEU"_s, u">>> Neu"_s));
}

void TWindowsForm::ListView_UebersichtItemClick(int row) {
    if (row < 0 || row >= ListView_Uebersicht->Count())
        return;
    UebersichtErlaubt = false;
    QCoreApplication::processEvents();
    UebersichtZeile zeile = ListView_Uebersicht->Zeile(row);
    const QString typ = zeile.ItemTyp.trimmed();
    int nummer = 0;
    if (!typ.endsWith(u"NEU"_s, Qt::CaseInsensitive)) {
        bool ok = false;
        nummer = zeile.ItemAmpelStatus.toInt(&ok);
        if (!ok)
            nummer = 20;
    }
    const TDateTime start = AnzeigeDatum.datePart() + Clock::timeOfDay().value();
    const bool teamZER = fBER_Teamerfassung && !fBER_TeamLight;

    if (typ == u"ZPZ") {
        if (nummer < 3) {
            ZeigePraesenzzeit(zeile.Tag);
            dm->ZPZ_AktuelleMobileIDschreibe(zeile.Tag);
            if (teamZER && fBER_TeamPraesenzzeit)
                dm->TeamSchreibeLumora_TeamInLumora_TeamAktiveLPEZPZ(zeile.Tag);
            ZeigeSeite(SeitePraesenz, true);
            TerminalTimerSetzen(false);
        }
    } else if (typ == u"ZPZNEU") {
        const int neu = dm->ZPZ_Neu(start, AktuelleLPE_ID);
        if (istNeuerDatensatz(neu)) {
            ZeigePraesenzzeit(neu);
            dm->ZPZ_AktuelleMobileIDschreibe(neu);
            zeile.ItemTyp = u"ZPZ"_s;
            zeile.Tag = neu;
            zeile.ItemZusatzText.Text.clear();
            zeile.ItemZeitVon.Text = uhrzeit(dm->ZeitRunden(Clock::now(), 0, AktuelleLPE_ID)) + u" - "_s;
            zeile.ItemZeitBis.Text = u"offen"_s;
            zeile.ItemAmpelStatus = u"0"_s;
            zeile.ItemAmpelImage = 0;
            ListView_Uebersicht->SetZeile(row, zeile);
            ListView_Uebersicht->Deselect();
            dm->UpdateRestart();
        } else {
            MessageHelper::Hinweis(this, u"Die Präsenzzeit konnte nicht angelegt werden."_s);
        }
    } else if (typ == u"ZER") {
        const bool bearbeitbar = zeile.AccessoryVisible;
        ZeigeTaetigkeit(zeile.Tag);
        if (teamZER)
            dm->TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(zeile.Tag);
        ZeigeSeite(SeiteErfassung, bearbeitbar);
        if (bearbeitbar) {
            ErfassungFreigeben(false);
            Layout_Erfassung->Button_Fertig->setText(u"Neu"_s);
            TerminalTimerSetzen(false);
        }
    } else if (typ == u"ZERNEU") {
        const int neu = dm->ZER_Neu(start);
        if (istNeuerDatensatz(neu)) {
            ZeigeTaetigkeit(neu);
            ErfassungSperren(true);
            ErfassungFreigeben(true);
            ZeigeSeite(SeiteErfassung, true);
            ListView_Uebersicht->Deselect();
            TerminalTimerSetzen(false);
        } else {
            MessageHelper::Hinweis(this, u"Der Eintrag konnte nicht angelegt werden."_s);
        }
    }
    QCoreApplication::processEvents();
    UebersichtErlaubt = true;
}
