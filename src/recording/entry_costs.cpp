// Cost and invoice amounts of an activity entry, by its kind.
#include "core/tdm.h"

#include "core/clock.h"
#include "recording/recording_sql.h"
#include "recording/rounding.h"

using namespace Qt::StringLiterals;

namespace {

struct Saetze {
    double ansatz = 0.0;    // billing rate per unit
    double kostenStd = 0.0; // cost rate per unit
};

struct Betraege {
    double betrag = 0.0;
    double rechnungsBetrag = 0.0;
};

Betraege betraegeFuer(double menge, const Saetze& saetze) {
    Betraege b;
    if (menge == 0.0)
        return b;
    if (saetze.kostenStd != 0.0)
        b.betrag = rundeAufHundertstel(menge * saetze.kostenStd);
    if (saetze.ansatz != 0.0)
        b.rechnungsBetrag = rundeAufHundertstel(menge * saetze.ansatz);
    return b;
}

Saetze saetzeMitarbeiter(Tdm& dm, int lpeId) {
    Saetze s;
    auto q = dm.GetQueryInstance();
    q->setSQL(u" SELECT        LPE_KostenStd, LPE_VerrechnenStd  FROM            A_PERSONAL  WHERE        "
              u"(LPE_ID = :LPE_ID) and Mandant_ID = "_s +
              mandantSql(dm));
    q->ParamByName(u"LPE_ID"_s).setAsInteger(lpeId);
    if (q->Open() && !q->Eof()) {
        s.kostenStd = q->FieldByName(u"LPE_KostenStd"_s).AsFloat();
        s.ansatz = q->FieldByName(u"LPE_VerrechnenStd"_s).AsFloat();
    }
    return s;
}

double stundenFaktor(Tdm& dm, const QString& kostenart) {
    auto q = dm.GetQueryInstance();
    // Bound to the tenant: another tenant on this device may use the same cost type number with its own factor.
    q->setSQL(u" Select ZKA_StundenFaktor from Z_Kostenart  Where ZKA_Nr  = :ZKA_Nr  and Mandant_ID = "_s +
              mandantSql(dm));
    q->ParamByName(u"ZKA_Nr"_s).setAsString(kostenart);
    if (q->Open() && !q->Eof())
        return q->FieldByName(u"ZKA_StundenFaktor"_s).AsFloat();
    return 1.0;
}

double kmAnsatz(Tdm& dm, const QString& kostenart) {
    auto q = dm.GetQueryInstance();
    q->setSQL(u" Select ZKA_KmAnsatz from Z_Kostenart  Where ZKA_Nr  = :ZKA_Nr and Mandant_ID = "_s + mandantSql(dm));
    q->ParamByName(u"ZKA_Nr"_s).setAsString(kostenart);
    if (q->Open() && !q->Eof())
        return q->FieldByName(u"ZKA_KmAnsatz"_s).AsFloat();
    return 0.0;
}

Saetze saetzeArtikel(Tdm& dm, int matId, bool alsMaterial) {
    Saetze s;
    auto q = dm.GetQueryInstance();
    const QString felder = u" SELECT        MAT_AktiveWaehrung, MAT_AktuellerEP, MAT_AktuellerEP_EURO, "
                           u"MAT_VPKalkuliert, MAT_VPKalkuliert_EURO  FROM            M_MATERIALPREISE  "_s;
    if (alsMaterial)
        q->setSQL(felder + u"WHERE  Mandant_ID = "_s + mandantSql(dm) +
                  u" AND   (MAT_ID = :MAT_ID) AND (MAT_MAF_NR = 0) "_s);
    else
        q->setSQL(felder + u"WHERE    Mandant_ID = "_s + mandantSql(dm) +
                  u" AND  (MAT_ID = :MAT_ID) AND (MAT_MAF_NR = 0) "_s);
    q->ParamByName(u"MAT_ID"_s).setAsInteger(matId);
    if (q->Open() && !q->Eof()) {
        if (q->FieldByName(u"MAT_AktiveWaehrung"_s).AsInteger() == 1) {
            s.kostenStd = q->FieldByName(u"MAT_AktuellerEP"_s).AsFloat();
            s.ansatz = q->FieldByName(u"MAT_VPKalkuliert"_s).AsFloat();
        } else {
            s.kostenStd = q->FieldByName(u"MAT_AktuellerEP_EURO"_s).AsFloat();
            s.ansatz = q->FieldByName(u"MAT_VPKalkuliert_EURO"_s).AsFloat();
        }
    }
    return s;
}

} // namespace

void Tdm::ZER_speichernKosten(int MobileID) {
    int typ = 0;
    int lpe = 0;
    QString kostenart;
    double std100 = 0.0;
    int km = 0;
    int leistung = 0;
    int material = 0;
    {
        auto q = GetQueryInstance();
        q->setSQL(u" select * from Z_Erfassung where MobileID = :MobileID and Mandant_ID = "_s + mandantSql(*this));
        q->ParamByName(u"MobileID"_s).setAsInteger(MobileID);
        if (!q->Open() || q->Eof())
            return;
        typ = q->FieldByName(u"ZER_Type"_s).AsInteger();
        lpe = q->FieldByName(u"ZER_LPE"_s).AsInteger();
        kostenart = q->FieldByName(u"ZER_ZKA"_s).AsString();
        std100 = q->FieldByName(u"ZER_Std100"_s).AsFloat();
        km = q->FieldByName(u"ZER_Km"_s).AsInteger();
        leistung = q->FieldByName(u"ZER_Leistung"_s).AsInteger();
        material = q->FieldByName(u"ZER_MAT_ID"_s).AsInteger();
    }

    Saetze saetze;
    Betraege betraege;
    switch (typ) {
    case 0:
    case 1:
        saetze = saetzeMitarbeiter(*this, lpe);
        betraege = betraegeFuer(std100, saetze);
        break;
    case 2:
        saetze = saetzeMitarbeiter(*this, lpe);
        saetze.ansatz *= stundenFaktor(*this, kostenart);
        betraege = betraegeFuer(std100, saetze);
        break;
    case 3:
        saetze = saetzeArtikel(*this, leistung, false);
        betraege = betraegeFuer(std100, saetze);
        break;
    case 9:
        saetze = saetzeArtikel(*this, material, true);
        betraege = betraegeFuer(std100, saetze);
        break;
    case 4:
        saetze.kostenStd = saetze.ansatz = kmAnsatz(*this, kostenart);
        betraege = betraegeFuer(std100, saetze);
        break;
    case 5:
        saetze.kostenStd = saetze.ansatz = kmAnsatz(*this, kostenart);
        betraege = betraegeFuer(km, saetze);
        break;
    case 6:
        // Expenses at cost are never invoiced.
        saetze.kostenStd = kmAnsatz(*this, kostenart);
        betraege = betraegeFuer(std100, saetze);
        break;
    default:
        break;
    }

    auto q = GetQueryInstance();
    q->setSQL(u" update Z_Erfassung  Set  ZER_Ansatz = :ZER_Ansatz, ZER_KostenStd = :ZER_KostenStd, "
              u"ZER_Betrag = :ZER_Betrag, ZER_RechnungsBetrag = :ZER_RechnungsBetrag,  ZER_MUTDAT = :ZER_MUTDAT, "
              u"ZER_MUTUSER = :ZER_MUTUSER  Where MobileID = :MobileID and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"ZER_Ansatz"_s).setAsFloat(saetze.ansatz);
    q->ParamByName(u"ZER_KostenStd"_s).setAsFloat(saetze.kostenStd);
    q->ParamByName(u"ZER_Betrag"_s).setAsFloat(betraege.betrag);
    q->ParamByName(u"ZER_RechnungsBetrag"_s).setAsFloat(betraege.rechnungsBetrag);
    q->ParamByName(u"ZER_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(u"ZER_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"MobileID"_s).setAsInteger(MobileID);
    q->ExecSQL();
}
