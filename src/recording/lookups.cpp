// Read-only lookups over the local master data and the group settings: display texts, defaults taken from a
// booking object, the restrictions of the selection lists and the status light of a record.
#include "core/tdm.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "recording/einzelwert.h"
#include "recording/recording_sql.h"

using namespace Qt::StringLiterals;

namespace {

const QString kKeinFakturaCode = u"X"_s;

// "Nr - Bezeichnung" of a booking object's master-data row, "bitte warten..." until the row has arrived.
QString stammdatenText(Tdm& dm, const QString& sql, int id) {
    auto q = dm.GetQueryInstance();
    q->setSQL(sql + mandantSql(dm));
    q->ParamByName(u"id"_s).setAsInteger(id);
    if (!q->Open() || q->Eof())
        return u"bitte warten..."_s;
    return q->Fields(0).AsString() + u" - "_s + q->Fields(1).AsString();
}

// The stored display text, or the master-data text when the entry carries none.
QString gespeichertOderStammdaten(Tdm& dm, const QString& gespeichert, const QString& sql, int id) {
    return gespeichert.trimmed().isEmpty() ? stammdatenText(dm, sql, id) : gespeichert;
}

// The overview form: prefix + stored text, or prefix + master-data text when nothing follows the prefix.
QString mitPraefix(Tdm& dm, const QString& praefix, const QString& gespeichert, const QString& sql, int id) {
    const QString text = praefix + u' ' + gespeichert;
    if (text.trimmed() == praefix)
        return praefix + u' ' + stammdatenText(dm, sql, id);
    return text;
}

// The statement of a per-object lookup, with ":Nr" for cost types and ":ID" for the others; empty for other kinds.
QString belegSql(TAuswahlTyp typ, const QString& spalteKostenart, const QString& spalteProjekt,
                 const QString& spalteAuftrag) {
    switch (typ) {
    case TAuswahlTyp::awtKostenArt:
        return u" select "_s + spalteKostenart + u" from Z_KOSTENART  Where ZKA_Nr = :Nr and Mandant_ID = "_s;
    case TAuswahlTyp::awtProjekt:
        return u" select "_s + spalteProjekt + u" from P_Projekt  Where Pro_ID = :ID and Mandant_ID = "_s;
    case TAuswahlTyp::awtAuftrag:
        return u" select "_s + spalteAuftrag + u" from R_KAuftrag  Where RKA_ID = :ID and Mandant_ID = "_s;
    case TAuswahlTyp::awtWerkauftrag:
        return u" select "_s + spalteAuftrag + u" from R_KWerkauftrag  Where RKA_ID = :ID and Mandant_ID = "_s;
    default:
        return {};
    }
}

// Runs a per-object lookup, binding the number when no id is given; an invalid value when there is none.
QVariant leseVonBeleg(Tdm& dm, const QString& sql, int ID, const QString& NR) {
    if (sql.isEmpty())
        return {};
    auto q = dm.GetQueryInstance();
    q->setSQL(sql + mandantSql(dm));
    if (ID <= 0)
        q->ParamByName(u"Nr"_s).setAsString(NR);
    else
        q->ParamByName(u"ID"_s).setAsInteger(ID);
    if (!q->Open() || q->Eof())
        return {};
    return q->Fields(0).AsVariant();
}

// One column of a cost type or cost centre by its number; an empty number asks nothing.
QVariant leseNachNummer(Tdm& dm, const QString& sql, const QString& parameter, const QString& nummer,
                        const QVariant& standard) {
    const QString nr = nummer.trimmed();
    if (nr.isEmpty())
        return standard;
    return ersterWert(dm, sql + mandantSql(dm), {{parameter, nr}}, standard);
}

// The booking-object columns of an entry in the order their hits replace each other.
struct BelegSpalte {
    const char16_t* spalte;
    TObjektTyp typ;
};
constexpr BelegSpalte kBelegSpalten[] = {{u"ZER_PRO", TObjektTyp::Projekt},
                                         {u"ZER_RKA_ID_A", TObjektTyp::Auftrag},
                                         {u"ZER_RKA_ID_W", TObjektTyp::Werkauftrag},
                                         {u"ZER_ADR_ID", TObjektTyp::Adresse}};

const QString kSqlAdresse = u" select ADR_Nr, ADR_Sortierung from A_Adressen  where adr_id = :id and Mandant_ID = "_s;
const QString kSqlAuftrag =
    u" select RKA_ExtAufNr, RKA_Bezeichnung from R_KAuftrag  where RKA_ID = :id and Mandant_ID = "_s;
const QString kSqlProjekt = u" select PRO_NR, PRO_Bezeichnung from P_Projekt  where PRO_ID = :id and Mandant_ID = "_s;
const QString kSqlWerkauftrag =
    u" select RKA_ExtAufNr, RKA_Bezeichnung from R_KWerkAuftrag  where RKA_ID = :id and Mandant_ID = "_s;

// Whether the first booking object the entry names still exists; true for an internal entry or when unsure.
bool belegNochVorhanden(Tdm& dm, const TSqlQuery& zer) {
    struct Pruefung {
        const char16_t* spalte;
        const char16_t* sql;
    };
    static constexpr Pruefung pruefungen[] = {
        {u"ZER_RKA_ID_A", u" select count(RKA_ID) as vorhanden from R_KAuftrag  where RKA_ID = :id and Mandant_ID = "},
        {u"ZER_RKA_ID_W",
         u" select count(RKA_ID) as vorhanden from R_KwerkAuftrag  where RKA_ID = :id and Mandant_ID = "},
        {u"ZER_Pro", u" select count(PRO_ID) as vorhanden from P_Projekt  where PRO_ID = :id and Mandant_ID = "},
        {u"ZER_ADR_ID", u" select count(ADR_ID) as vorhanden from A_Adressen  where ADR_ID = :id and Mandant_ID = "}};
    for (const Pruefung& p : pruefungen) {
        const int id = zer.FieldByName(p.spalte).AsInteger();
        if (id == 0)
            continue;
        const QVariant anzahl = ersterWert(dm, QString::fromUtf16(p.sql) + mandantSql(dm), {{u"id"_s, id}}, {});
        return !anzahl.isValid() || anzahl.toInt() != 0;
    }
    return true;
}

} // namespace

QString Tdm::GibAuftragAlsText(const TSqlQuery& qZER, bool fuerBearbeitung) {
    QString text = u"Intern"_s;
    if (const int id = qZER.FieldByName(u"ZER_PRO").AsInteger(); id > 0) {
        const QString gespeichert = qZER.FieldByName(u"ObjektProjekt").AsString();
        text = fuerBearbeitung ? gespeichertOderStammdaten(*this, gespeichert, kSqlProjekt, id)
                               : mitPraefix(*this, u"P."_s, gespeichert, kSqlProjekt, id);
    }
    if (const int id = qZER.FieldByName(u"ZER_RKA_ID_A").AsInteger(); id > 0)
        text = gespeichertOderStammdaten(*this, qZER.FieldByName(u"ObjektAuftrag").AsString(), kSqlAuftrag, id);
    if (const int id = qZER.FieldByName(u"ZER_RKA_ID_W").AsInteger(); id > 0)
        text = gespeichertOderStammdaten(*this, qZER.FieldByName(u"ObjektWerkAuftrag").AsString(), kSqlWerkauftrag, id);
    if (const int id = qZER.FieldByName(u"ZER_ADR_ID").AsInteger(); id > 0) {
        const QString gespeichert = qZER.FieldByName(u"ObjektAdresse").AsString();
        text = fuerBearbeitung ? gespeichertOderStammdaten(*this, gespeichert, kSqlAdresse, id)
                               : mitPraefix(*this, u"Adr."_s, gespeichert, kSqlAdresse, id);
    }
    return text;
}

TObjektTyp Tdm::GibBelegTypVonZER(int MobileID, int& BelegID) {
    TObjektTyp typ = TObjektTyp::Intern;
    BelegID = 0;
    auto q = GetQueryInstance();
    q->setSQL(u" Select    ZER_PRO, ZER_RKA_ID_A, ZER_RKA_ID_W , ZER_ADR_ID  from Z_Erfassung  where MobileID = :id "
              u"and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"id"_s).setAsInteger(MobileID);
    if (!q->Open() || q->Eof())
        return typ;
    for (const BelegSpalte& b : kBelegSpalten) {
        if (const int id = q->FieldByName(b.spalte).AsInteger(); id > 0) {
            typ = b.typ;
            BelegID = id;
        }
    }
    return typ;
}

QString Tdm::gibKuzrzeichenZuTyp(TObjektTyp typ) {
    switch (typ) {
    case TObjektTyp::Auftrag:
    case TObjektTyp::rapAuftrag:
        return u"B"_s;
    case TObjektTyp::Werkauftrag:
        return u"W"_s;
    case TObjektTyp::Projekt:
    case TObjektTyp::rapProjekt:
        return u"P"_s;
    case TObjektTyp::Adresse:
    case TObjektTyp::rapAdresse:
        return u"A"_s;
    default:
        return u"I"_s;
    }
}

QString Tdm::GibBelegTypTextVonBelegTypkurz(const QString& typ) {
    if (typ == u"A")
        return u"Adresse"_s;
    if (typ == u"B")
        return u"Auftrag"_s;
    if (typ == u"P")
        return u"Projekt"_s;
    if (typ == u"W")
        return u"Werkauftrag"_s;
    return u"Intern"_s;
}

QString Tdm::GibFakturaCodeVonBeleg(TAuswahlTyp AuswahlTyp, int ID, const QString& NR) {
    const QString sql = belegSql(AuswahlTyp, u"ZKA_Verrechnen F"_s, u"Fakturacode F"_s, u"Fakturacode F"_s);
    const QString code = leseVonBeleg(*this, sql, ID, NR).toString();
    return code.trimmed().isEmpty() ? kKeinFakturaCode : code;
}

QString Tdm::GibFakturaVonFakturaCode(const QString& Code) {
    switch (Code.isEmpty() ? u'\0' : Code.front().unicode()) {
    case u'G':
        return u"Garantie"_s;
    case u'K':
        return u"Kulanz"_s;
    case u'N':
        return u"nicht Verrechnen"_s;
    case u'V':
        return u"Verrechnen"_s;
    case u'W':
        return u"Warten"_s;
    default:
        return u"-"_s;
    }
}

QString Tdm::GibKSVonBeleg(TAuswahlTyp AuswahlTyp, int ID, const QString& NR) {
    const QString sql = belegSql(AuswahlTyp, u"ZKA_KS  K"_s, u"PRO_KS K"_s, u"RKA_KS K"_s);
    return leseVonBeleg(*this, sql, ID, NR).toString().trimmed();
}

QString Tdm::GibKSBezVonKS(const QString& KS) {
    return leseNachNummer(*this,
                          u" select  ZKS_Bezeichnung  b from  Z_KOSTENSTELLE  Where ZKS_Nr = :ks  and Mandant_ID = "_s,
                          u"ks"_s, KS, QString())
        .toString();
}

QString Tdm::GibKABezVonKA(const QString& KA) {
    return leseNachNummer(*this,
                          u" select  ZKA_Bezeichnung  b from  Z_KOSTENART  Where ZKA_Nr = :ka  and Mandant_ID = "_s,
                          u"ka"_s, KA, QString())
        .toString();
}

int Tdm::GibKAStdETyp(const QString& KA) {
    return leseNachNummer(*this, u" select  ZKA_StdETyp  t from  Z_KOSTENART  Where ZKA_Nr = :ka  and Mandant_ID = "_s,
                          u"ka"_s, KA, 0)
        .toInt();
}

int Tdm::GibKAtype(const QString& KA) {
    return leseNachNummer(*this, u" select  ZKA_Type  t from  Z_KOSTENART  Where ZKA_Nr = :ka  and Mandant_ID = "_s,
                          u"ka"_s, KA, 1)
        .toInt();
}

QString Tdm::GibMaterialBezeichnungZuMatID(int MatID, bool MitMatNr) {
    auto q = GetQueryInstance();
    q->setSQL(u" select MAT_Bezeichnung B , MAT_Nr N from M_Material  Where Mandant_ID = "_s +
              QString::number(InternalLeseINT(SettingKey::Mandant_ID, 0)) + u" AND mat_ID = :ID and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"ID"_s).setAsInteger(MatID);
    if (!q->Open() || q->Eof())
        return {};
    const QString bezeichnung = q->FieldByName(u"B").AsString();
    return MitMatNr ? q->FieldByName(u"N").AsString() + u" - "_s + bezeichnung : bezeichnung;
}

QString Tdm::GibMaterialZusatztextZuMatID(int MatID) {
    return ersterWert(*this,
                      u" select MTE_ZusatzText from M_Material  Where mat_ID = :ID and Mandant_ID = "_s +
                          mandantSql(*this),
                      {{u"ID"_s, MatID}}, QString())
        .toString();
}

QString Tdm::GibMengenEinheitZuMatID(int MatID) {
    return ersterWert(*this,
                      u" select MAT_Mengeneinheit E from M_Material  Where Mandant_ID = "_s + mandantSql(*this) +
                          u" AND  mat_ID = :ID"_s,
                      {{u"ID"_s, MatID}}, QString())
        .toString();
}

double Tdm::GibPreiseinheitZuMatID(int MatID) {
    const double einheit =
        ersterWert(*this,
                   u" select mat_Preiseinheit from m_material  where MAT_ID = :matid and Mandant_ID = "_s +
                       mandantSql(*this),
                   {{u"matid"_s, MatID}}, 1.0)
            .toDouble();
    return einheit == 0.0 ? 1.0 : einheit;
}

QString Tdm::GibFilterStringStandart(const QString& Tabelle, int LPE_ID) {
    const QString filter =
        ersterWert(*this,
                   u" SELECT    Lumora_Filter.PFI_SQL  FROM   Lumora_User    INNER JOIN Lumora_Filter ON "
                   u"(Lumora_User.Mandant_ID = Lumora_Filter.Mandant_ID)    AND (Lumora_User.USR_BER_ID = "
                   u"Lumora_Filter.PFI_BER_ID)  WHERE    Lumora_User.USR_UserFD = :lpeid AND    Lumora_User.Mandant_ID "
                   u"= :mandantid AND   UPPER(Lumora_Filter.PFI_Tabelle) = :tabelle AND    Lumora_Filter.PFI_Standard "
                   u"= 1"_s,
                   {{u"lpeid"_s, LPE_ID}, {u"mandantid"_s, FMandantID}, {u"tabelle"_s, Tabelle.toUpper()}}, QString())
            .toString();
    if (filter.isEmpty())
        return {};
    return u" and "_s + QString(filter).replace(u"[LPE_ID]"_s, QString::number(LPE_ID));
}

QString Tdm::GibKostenArtenFilter(int PROID) {
    QString ergebnis;
    QString gruppenBedingung;
    if (PROID > 0) {
        const QString phasenJoin =
            u"FROM            P_PROJEKTPHASEN INNER JOIN                  P_PROJEKTPHASEN_DETAIL ON "
            u"P_PROJEKTPHASEN.Mandant_ID = P_PROJEKTPHASEN_DETAIL.Mandant_ID AND                  "
            u"P_PROJEKTPHASEN.PPH_ID = P_PROJEKTPHASEN_DETAIL.PPD_PPH_ID  WHERE        "_s;
        const QString projekt = u" (P_PROJEKTPHASEN.PPH_PRO_ID = "_s + QString::number(PROID) + u" ) "_s;
        QStringList phasen;
        const int anzahl =
            ersterWert(*this,
                       u"SELECT      count(P_PROJEKTPHASEN_DETAIL.PPD_ZKA_Nr) anzahl  "_s + phasenJoin +
                           u"(P_PROJEKTPHASEN.Mandant_ID = "_s + mandantSql(*this) + u") AND "_s + projekt,
                       {}, 0)
                .toInt();
        // A project with phases allows only the cost types of its running phases; the placeholder matches none.
        if (anzahl > 0)
            phasen.append(u"HatPhasenImEinsatz"_s);
        const QVariant heute = sqlDatum(Clock::today());
        auto q = GetQueryInstance();
        q->setSQL(u"SELECT        P_PROJEKTPHASEN_DETAIL.PPD_ZKA_Nr  "_s + phasenJoin +
                  u"((P_PROJEKTPHASEN.PPH_Start <= :start) AND (P_PROJEKTPHASEN.PPH_Ende >= :ende))                "
                  u"AND  (P_PROJEKTPHASEN.Mandant_ID = "_s +
                  mandantSql(*this) + u") AND "_s + projekt + u" GROUP BY P_PROJEKTPHASEN_DETAIL.PPD_ZKA_Nr "_s);
        q->ParamByName(u"start"_s).setValue(heute);
        q->ParamByName(u"ende"_s).setValue(heute);
        if (q->Open()) {
            for (; !q->Eof(); q->Next())
                phasen.append(q->Fields(0).AsString());
        }
        if (!phasen.isEmpty()) {
            const QString liste = alsSqlListe(phasen);
            ergebnis = u" AND ZKA_Nr in ("_s + liste + u")"_s;
            gruppenBedingung = u" AND GKA_KA in ("_s + liste + u")"_s;
        }
    }
    const QStringList gruppe = ersteSpalte(
        *this, u" SELECT   Lumora_GruppenKA.GKA_KA  FROM    Lumora_User    INNER JOIN Lumora_GruppenKA ON "
               u"(Lumora_User.USR_BER_ID = Lumora_GruppenKA.GKA_BER_ID)  WHERE    "
               u"Lumora_GruppenKA.Mandant_ID = "_s +
                   QString::number(InternalLeseINT(SettingKey::Mandant_ID, 0)) + u" AND  Lumora_User.USR_UserFD = "_s +
                   QString::number(AktuelleLPE_ID) + gruppenBedingung);
    if (!gruppe.isEmpty())
        ergebnis = u" AND ZKA_Nr in ("_s + alsSqlListe(gruppe) + u")"_s;
    return ergebnis;
}

QString Tdm::GibKostenStellenFilter() {
    const QStringList gruppe =
        ersteSpalte(*this, u" SELECT   Lumora_GruppenKS.GKS_KS  FROM    Lumora_User    INNER JOIN Lumora_GruppenKS ON "
                           u"(Lumora_User.USR_BER_ID = Lumora_GruppenKS.GKS_BER_ID)  WHERE    "
                           u"Lumora_GruppenKS.Mandant_ID = "_s +
                               QString::number(InternalLeseINT(SettingKey::Mandant_ID, 0)) +
                               u" AND  Lumora_User.USR_UserFD = "_s + QString::number(AktuelleLPE_ID));
    if (gruppe.isEmpty())
        return {};
    return u" AND ZKS_Nr in ("_s + alsSqlListe(gruppe) + u")"_s;
}

int Tdm::GibAmpelStatus(bool zpz, bool zer, int ID, int /*MobileID*/, int Cloudstatus, int LPEID) {
    int status = 3;
    if (zpz) {
        status = Cloudstatus;
        if (status < 3) {
            auto q = GetQueryInstance();
            q->setSQL(u" select * from Z_Praesenzzeit where zpz_id = :id and Mandant_ID = "_s + mandantSql(*this));
            q->ParamByName(u"id"_s).setAsInteger(ID);
            if (q->Open() && !q->Eof()) {
                const TDateTime tag = q->FieldByName(u"zpz_datum").AsDateTime().datePart();
                q.reset();
                if (GibDatumBuchungssperre(LPEID) >= tag)
                    status = 3;
                else if (GibBerechtigungBoolean(u"BER_ZPZ_startstop"_s, LPEID) && tag != Clock::today())
                    status = 3;
            }
        }
    }
    if (zer) {
        status = Cloudstatus;
        if (status < 3) {
            auto q = GetQueryInstance();
            q->setSQL(u" select * from Z_Erfassung where zer_id = :id and Mandant_ID = "_s + mandantSql(*this));
            q->ParamByName(u"id"_s).setAsInteger(ID);
            if (q->Open() && !q->Eof()) {
                const TDateTime tag = q->FieldByName(u"zer_datum").AsDateTime().datePart();
                if (GibDatumBuchungssperre(LPEID) >= tag || q->FieldByName(u"zer_verrechnet").AsInteger() == 1)
                    status = 3;
                else if (!belegNochVorhanden(*this, *q))
                    status = 3;
                else if (GibBerechtigungBoolean(u"BER_ZER_startstop"_s, LPEID) && tag != Clock::today())
                    status = 3;
            }
        }
    }
    if (status == 3 && Cloudstatus == 0)
        return 4;
    if (status == 3 && Cloudstatus == 1)
        return 5;
    return status;
}
