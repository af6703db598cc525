#include "tdm.h"

#include <QVariant>

// Each write replaces the whole row of its key, so a key holds one kind of value at a
// time and reading it as another kind yields that column's default.

int Tdm::InternalLeseINT(const QString& keyname, int standard, bool* ok) {
    auto q = GetQueryInstance();
    q->setSQL(u" SELECT INTVALUE FROM INTERNAL  WHERE KEYVALUE = :KEYVALUE");
    q->ParamByName(u"KEYVALUE").setAsString(keyname);
    const bool gelesen = q->Open();
    if (ok)
        *ok = gelesen;
    if (!gelesen || q->Eof() || q->Fields(0).IsNull())
        return standard;
    return q->Fields(0).AsInteger();
}

QString Tdm::InternalLeseTXT(const QString& keyname, const QString& standard) {
    auto q = GetQueryInstance();
    q->setSQL(u"select TXTVALUE from INTERNAL  WHERE KEYVALUE = :KEYVALUE");
    q->ParamByName(u"KEYVALUE").setAsString(keyname);
    if (!q->Open() || q->Eof() || q->Fields(0).IsNull())
        return standard;
    return q->Fields(0).AsString();
}

bool Tdm::InternalLeseBool(const QString& keyname, bool standard) {
    return InternalLeseINT(keyname, standard ? 1 : 0) != 0;
}

TDateTime Tdm::InternalLeseDT(const QString& keyname, TDateTime standard) {
    auto q = GetQueryInstance();
    q->setSQL(u" SELECT DTVALUE FROM INTERNAL  WHERE KEYVALUE = :KEYVALUE");
    q->ParamByName(u"KEYVALUE").setAsString(keyname);
    if (!q->Open() || q->Eof() || q->Fields(0).IsNull())
        return standard;
    TDateTime wert;
    return parseStoredDateTime(q->Fields(0).AsString(), wert) ? wert : standard;
}

bool Tdm::InternalSchreibeINT(const QString& keyname, int IntValue) {
    auto q = GetQueryInstance();
    q->setSQL(u"INSERT OR REPLACE INTO INTERNAL (KEYVALUE,INTVALUE) VALUES (:KEYVALUE,:INTVALUE) ");
    q->ParamByName(u"KEYVALUE").setAsString(keyname);
    q->ParamByName(u"INTVALUE").setAsInteger(IntValue);
    return q->ExecSQL();
}

bool Tdm::InternalSchreibeTXT(const QString& keyname, const QString& TxtValue) {
    auto q = GetQueryInstance();
    q->setSQL(u"INSERT OR REPLACE INTO INTERNAL (KEYVALUE,TXTVALUE) VALUES (:KEYVALUE,:TXTVALUE) ");
    q->ParamByName(u"KEYVALUE").setAsString(keyname);
    q->ParamByName(u"TXTVALUE").setAsString(TxtValue);
    return q->ExecSQL();
}

bool Tdm::InternalSchreibeBool(const QString& keyname, bool BoolValue) {
    return InternalSchreibeINT(keyname, BoolValue ? 1 : 0);
}

bool Tdm::InternalSchreibeDT(const QString& keyname, TDateTime dtValue) {
    auto q = GetQueryInstance();
    q->setSQL(u"INSERT OR REPLACE INTO INTERNAL (KEYVALUE,DTVALUE) VALUES (:KEYVALUE,:DTVALUE) ");
    q->ParamByName(u"KEYVALUE").setAsString(keyname);
    q->ParamByName(u"DTVALUE").setAsDateTime(dtValue);
    return q->ExecSQL();
}

void Tdm::LastSyncDateSET(TDateTime dt, int MandantID) {
    if (MandantID <= 0)
        return;
    auto q = GetQueryInstance();
    q->setSQL(u" Update Mandantenlogin  SET LastSyncDate = :LastSyncDate  where mandantid = :mandantid ");
    q->ParamByName(u"LastSyncDate").setAsString(DTDatetimeToString(dt));
    q->ParamByName(u"mandantid").setAsInteger(MandantID);
    q->ExecSQL();
    if (dt.year() <= 2000) {
        // A date this old asks for a full reload of the tenant whose date was reset.
        auto loeschen = GetQueryInstance();
        loeschen->setSQL(QStringLiteral(" delete from SyncFortschritt  Where Mandant_ID = ") +
                         QString::number(MandantID));
        loeschen->ExecSQL();
    }
}

void Tdm::LastSyncTimeStampSET(TDateTime dt, int MandantID) {
    auto q = GetQueryInstance();
    q->setSQL(u" Update Mandantenlogin  SET SyncTimeStamp = :SyncTimeStamp  where mandantid = :mandantid ");
    q->ParamByName(u"SyncTimeStamp").setAsString(DTDatetimeToString(dt));
    q->ParamByName(u"mandantid").setAsInteger(MandantID);
    q->ExecSQL();
}

QString Tdm::entferneZeilenumbruch(const QString& text) {
    QString ergebnis = text;
    ergebnis.replace(u'\r', u' ');
    ergebnis.replace(u'\n', u' ');
    return ergebnis;
}

QString Tdm::GibDatumAlsStringFuerEingabefeld(TDateTime datum, const QString& text) {
    const QString tag = datum.format(QStringLiteral("ddd dd.mm.yyyy"));
    if (text.isEmpty())
        return QStringLiteral("Datum: ") + tag;
    return text + u' ' + tag;
}
