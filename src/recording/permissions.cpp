// Group permissions of an employee, their cached copies, the date rules and the rounding of stamped times.
#include "core/tdm.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "recording/recording_sql.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

const TDateTime kKeineBuchungssperre = TDateTime::encodeDate(2000, 1, 1);
constexpr int kStandardMaxAlterTage = 60;
constexpr int kMinutenProTag = 24 * 60;

// The permission name becomes part of the statement text, so only a plain column name is accepted.
bool istSpaltenname(const QString& name) {
    static const QRegularExpression muster(u"^[A-Za-z_][A-Za-z0-9_.]*$"_s);
    return muster.match(name).hasMatch();
}

// Runs the single lookup of `dieBerechtigung` for the employee and hands the first column of the first row to
// `lies`; false without a row, for an unusable name or when the statement fails.
template <typename Lies> bool leseBerechtigung(Tdm& dm, const QString& dieBerechtigung, int UserID, Lies lies) {
    if (!istSpaltenname(dieBerechtigung))
        return false;
    auto q = dm.GetQueryInstance();
    q->setSQL(u" select "_s + dieBerechtigung + u" From Lumora_User "_s +
              u"  INNER JOIN Lumora_Gruppen ON (Lumora_User.USR_BER_ID = Lumora_Gruppen.BER_ID) "_s +
              u" AND (Lumora_User.Mandant_ID = Lumora_Gruppen.Mandant_ID) "_s + u" WHERE "_s +
              u"  Lumora_User.USR_UserFD = :LPE_ID and Lumora_User.Mandant_ID = "_s + mandantSql(dm));
    q->ParamByName(u"LPE_ID"_s).setAsInteger(UserID);
    if (!q->Open() || q->Eof())
        return false;
    lies(q->Fields(0));
    return true;
}

// The cached values that both refresh operations take from a group row.
void uebernehmeGruppenwerte(const TMeineFDQuery& q) {
    fBER_Praesenzzeit = q.FieldByName(u"BER_Praesenzzeit").AsInteger() != 0;
    fBER_Typ = q.FieldByName(u"BER_Typ").AsString();
    fBER_Art = q.FieldByName(u"BER_Art").AsString();
    fBER_KS = q.FieldByName(u"BER_KS").AsInteger();
    fBER_Fakt = q.FieldByName(u"BER_Fakt").AsInteger();
    fBER_Mitternacht = q.FieldByName(u"BER_Mitternacht").AsInteger() != 0;
}

// What an employee without a group may do: everything but presence for others, midnight stamping and teams.
void uebernehmeStandardwerte() {
    fBER_Praesenzzeit = true;
    fBER_Typ = u"11111"_s;
    fBER_Art = u"1111"_s;
    fBER_KS = 2;
    fBER_Fakt = 2;
    fBER_Mitternacht = false;
}

// N(x) of the rounding rule: the nearest integer to zaehler / nenner, a half going to the even neighbour.
int rundeHalbGerade(int zaehler, int nenner) {
    const int ganz = zaehler / nenner;
    const int rest = zaehler % nenner;
    if (2 * rest > nenner || (2 * rest == nenner && ganz % 2 != 0))
        return ganz + 1;
    return ganz;
}

// The employee's rounding step in minutes; a missing or unusable step means no rounding.
int rundungsSchritt(Tdm& dm, int UserID) {
    return std::max(1, dm.GibBerechtigungInteger(u"BER_Runden"_s, UserID));
}

} // namespace

bool Tdm::GibBerechtigungBoolean(const QString& dieBerechtigung, int UserID) {
    bool wert = false;
    leseBerechtigung(*this, dieBerechtigung, UserID, [&](const TSqlField& f) { wert = f.AsInteger() != 0; });
    return wert;
}

int Tdm::GibBerechtigungInteger(const QString& dieBerechtigung, int UserID) {
    int wert = 0;
    leseBerechtigung(*this, dieBerechtigung, UserID, [&](const TSqlField& f) { wert = f.AsInteger(); });
    return wert;
}

TDateTime Tdm::GibBerechtigungDatum(const QString& dieBerechtigung, int UserID) {
    TDateTime wert = kKeineBuchungssperre;
    leseBerechtigung(*this, dieBerechtigung, UserID, [&](const TSqlField& f) { wert = f.AsDateTime(); });
    return wert;
}

bool Tdm::FuelleFBERvariablen() {
    if (!SQLiteVerbinden(true))
        return false;
    auto q = GetQueryInstance();
    q->setSQL(u" SELECT   Lumora_Gruppen.BER_Praesenzzeit,   Lumora_Gruppen.BER_Typ,   Lumora_Gruppen.BER_Art,   "
              u"Lumora_Gruppen.BER_KS,   Lumora_Gruppen.BER_Fakt,   Lumora_Gruppen.BER_IstTerminal,  "
              u"Lumora_Gruppen.BER_Mitternacht,  Lumora_Gruppen.BER_Teamerfassung,  "
              u"Lumora_Gruppen.BER_TeamPraesenzzeit,  Lumora_Gruppen.BER_MitternachtStunden,  "
              u"Lumora_Gruppen.BER_TeamLight FROM   Lumora_User   INNER JOIN Lumora_Gruppen ON "
              u"(Lumora_User.USR_BER_ID = Lumora_Gruppen.BER_ID)  and (Lumora_User.Mandant_ID = "
              u"Lumora_Gruppen.Mandant_ID)  WHERE   Lumora_User.USR_UserFD = :LPE_ID and Lumora_User.Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"LPE_ID"_s).setAsInteger(AktuelleLPE_ID);
    // A failed read must not hand out the defaults, which grant more than most groups do.
    if (!q->Open())
        return false;
    // The team flags always describe the logged-in employee's group.
    const bool angemeldeterIstAktuell = AktuelleLPE_ID == AngemeldeteLPE_ID;
    if (!q->Eof()) {
        uebernehmeGruppenwerte(*q);
        fBER_MitternachtStunden = q->FieldByName(u"BER_MitternachtStunden").AsInteger();
        fBER_TeamPraesenzzeit = q->FieldByName(u"BER_TeamPraesenzzeit").AsInteger() != 0;
        if (angemeldeterIstAktuell) {
            fBER_TeamLight = q->FieldByName(u"BER_TeamLight").AsInteger() != 0;
            fBER_Teamerfassung = q->FieldByName(u"BER_Teamerfassung").AsInteger() != 0;
        }
        return true;
    }
    q.reset();
    uebernehmeStandardwerte();
    InternalSchreibeBool(SettingKey::TerminalAktiv, false);
    fBER_MitternachtStunden = 0;
    fBER_TeamPraesenzzeit = false;
    if (angemeldeterIstAktuell) {
        fBER_TeamLight = false;
        fBER_Teamerfassung = false;
    }
    return true;
}

void Tdm::GibBerechtigungenObjektTypen(QString& BER_Typ) {
    auto q = GetQueryInstance();
    q->setSQL(u" SELECT   Lumora_Gruppen.BER_Praesenzzeit,   Lumora_Gruppen.BER_Typ,   Lumora_Gruppen.BER_Art,   "
              u"Lumora_Gruppen.BER_KS,   Lumora_Gruppen.BER_Fakt,   Lumora_Gruppen.BER_Mitternacht,  "
              u"Lumora_Gruppen.BER_TeamLight FROM   Lumora_User   INNER JOIN Lumora_Gruppen ON "
              u"(Lumora_User.USR_BER_ID = Lumora_Gruppen.BER_ID)  AND (Lumora_User.Mandant_ID = "
              u"Lumora_Gruppen.Mandant_ID)  WHERE   Lumora_User.USR_UserFD = :LPE_ID and Lumora_User.Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"LPE_ID"_s).setAsInteger(AktuelleLPE_ID);
    if (!q->Open())
        return;
    if (q->Eof())
        uebernehmeStandardwerte();
    else
        uebernehmeGruppenwerte(*q);
    BER_Typ = fBER_Typ;
}

int Tdm::GibUserBerID(int LPE_ID) {
    auto q = GetQueryInstance();
    q->setSQL(u"Select USR_BER_ID from Lumora_User\nWhere USR_UserFD = "_s + QString::number(LPE_ID) +
              u"\nand Mandant_id = "_s + mandantSql(*this));
    if (!q->Open() || q->Eof())
        return 0;
    return q->Fields(0).AsInteger();
}

TDateTime Tdm::GibDatumBuchungssperre(int UserID) {
    const TDateTime fest = GibBerechtigungDatum(u"BER_Buchungssperre"_s, UserID).datePart();
    const int tage = GibBerechtigungInteger(u"BER_TageVeraenderbar"_s, UserID);
    const TDateTime gleitend = Clock::now().addHours(-24.0 * tage).datePart();
    return std::max(fest, gleitend);
}

TDateTime Tdm::GibDatumMaxAlterDerZeiten() {
    const int tage = InternalLeseINT(SettingKey::MaxAlterDerZeiten, kStandardMaxAlterTage);
    return Clock::now().addHours(-24.0 * tage).datePart();
}

bool Tdm::DatumAendernIstDatumOK(TDateTime dasDatum) {
    const TDateTime tag = dasDatum.datePart();
    if (GibDatumBuchungssperre(AktuelleLPE_ID) > tag)
        return false;
    if (tag > Clock::today())
        return GibBerechtigungBoolean(u"BER_InZukunftErlauben"_s, AktuelleLPE_ID);
    return true;
}

TDateTime Tdm::ZeitRunden(TDateTime Zeit, int /*WieRunden*/, int UserID) {
    if (!std::isfinite(Zeit.value()))
        return Clock::now();
    const int schritt = rundungsSchritt(*this, UserID);
    constexpr std::int64_t msekProTag = 24LL * 60 * 60 * 1000;
    const std::int64_t msek = Zeit.totalMSecs();
    const std::int64_t tag = msek >= 0 ? msek / msekProTag : -((-msek + msekProTag - 1) / msekProTag);
    const int minuteDesTages = int((msek - tag * msekProTag) / 60000);
    // Rounding up may pass the full hour and midnight; the carry goes into the hour and the day.
    const int stunde = minuteDesTages / 60;
    const int gerundet = stunde * 60 + schritt * rundeHalbGerade(minuteDesTages % 60, schritt);
    const int tage = gerundet / kMinutenProTag;
    const int rest = gerundet % kMinutenProTag;
    return TDateTime(double(tag + tage)) + TDateTime::encodeTime(rest / 60, rest % 60).value();
}

int Tdm::setzeSpinnerMinuten(int UserID, TSpinnerSpalte& spinner) {
    const int schritt = rundungsSchritt(*this, UserID);
    spinner.Schritt = schritt;
    spinner.Minimum = 0;
    spinner.Maximum = std::max(0, 60 - schritt);
    return 0;
}
