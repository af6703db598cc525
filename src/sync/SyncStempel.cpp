#include "Thread.DatenAusCloud1.h"

#include "core/settingskeys.h"

// The stamps that tell how far the downloads have come, and the run's row budget.

namespace {
const TDateTime Jahr2000 = TDateTime::encodeDate(2000, 1, 1);
}

TDateTime TDatenAusCloudThread::LeseMandantenLogInDatum(const QString& column, TDateTime standardUnlesbar,
                                                        TDateTime standardOhneZeile)
{
    auto q = lokal(QStringLiteral(" select ") + column + QStringLiteral(" from MandantenLogIn where MandantID = :MandantID "));
    q->ParamByName(u"MandantID").setAsInteger(FmandantID);
    lokalOpenOderAbbruch(*q);
    if (q->Eof())
        return standardOhneZeile;
    return DTstringToDatetime(q->Fields(0).AsString(), standardUnlesbar);
}

void TDatenAusCloudThread::SchreibeMandantenLogInDatum(const QString& column, TDateTime wert)
{
    auto q = lokal(QStringLiteral(" Update Mandantenlogin  SET ") + column + QStringLiteral(" = :wert  where mandantid = :mandantid "));
    q->ParamByName(u"wert").setAsString(DTDatetimeToString(wert));
    q->ParamByName(u"mandantid").setAsInteger(FmandantID);
    q->ExecSQL();
}

TDateTime TDatenAusCloudThread::LeseTabellenStempel(const QString& tabellenName)
{
    auto q = lokal(u" select ZeitStempel from SyncFortschritt  where Mandant_ID = :Mandant_ID and TabellenName = :TabellenName ");
    q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    q->ParamByName(u"TabellenName").setAsString(tabellenName);
    if (!q->Open() || q->Eof())
        return Jahr2000;
    return DTstringToDatetime(q->Fields(0).AsString(), Jahr2000);
}

void TDatenAusCloudThread::SchreibeTabellenStempel(const QString& tabellenName, TDateTime stempel)
{
    auto q = lokal(u" INSERT OR REPLACE INTO SyncFortschritt ( Mandant_ID, TabellenName, ZeitStempel) VALUES (:Mandant_ID, :TabellenName, :ZeitStempel )");
    q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    q->ParamByName(u"TabellenName").setAsString(tabellenName);
    q->ParamByName(u"ZeitStempel").setAsString(DTDatetimeToString(stempel));
    q->ExecSQL();
}

void TDatenAusCloudThread::SchreibeIstNeustart(const QString& tabellenName, bool neustart)
{
    auto q = lokal(u" Update SyncFortschritt set IstNeustart = :istNeustart Where mandant_ID = :Mandant_ID and TabellenName =:TabellenName");
    q->ParamByName(u"istNeustart").setAsInteger(neustart ? 1 : 0);
    q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    q->ParamByName(u"TabellenName").setAsString(tabellenName);
    q->ExecSQL();
}

TDateTime TDatenAusCloudThread::NeuesterTabellenStempel()
{
    auto q = lokal(u" select ZeitStempel from SyncFortschritt  where  Mandant_ID = :MandantID  order by ZeitStempel desc");
    q->ParamByName(u"MandantID").setAsInteger(FmandantID);
    lokalOpenOderAbbruch(*q);
    if (q->Eof())
        return Jahr2000;
    return DTstringToDatetime(q->Fields(0).AsString(), Jahr2000);
}

bool TDatenAusCloudThread::NeustartAnstehend()
{
    auto q = lokal(u" select sum(IstNeustart) from SyncFortschritt where Mandant_ID = :Mandant_ID ");
    q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    lokalOpenOderAbbruch(*q);
    const bool tabelleOffen = !q->Eof() && q->Fields(0).AsInteger() > 0;
    q.reset();
    return tabelleOffen || LeseBool(SettingKey::BinAmSynchen, false);
}

TDateTime TDatenAusCloudThread::GibServerStempel()
{
    if (!serverErreichbar())
        return TDateTime();
    auto ds = remote(u" Select dtServer from SyncVersion  Where Mandant_ID = :Mandant_ID");
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    if (!remoteOpen(*ds) || ds->Eof())
        return TDateTime();
    return ds->Fields(0).AsDateTime();
}

int TDatenAusCloudThread::GibServerAnzahlGeaendert(TDateTime seit)
{
    if (!serverErreichbar())
        return 0;
    auto ds = remote(u" SELECT        COUNT(Mandant_ID) AS Anzahl  FROM            Lumora_union_AlleMutTimeStamp  WHERE        (Mandant_ID = :Mandant_ID ) AND (MUTTimeStamp > :MUTTimeStamp) ");
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    ds->ParamByName(u"MUTTimeStamp").setAsDateTime(seit);
    if (!remoteOpen(*ds) || ds->Eof())
        return 0;
    return ds->Fields(0).AsInteger();
}

bool TDatenAusCloudThread::ZaehleZeile()
{
    ++FZaehlerSyncAnzahl;
    --FIFortschritt;
    if (FIFortschrittSTART - FIFortschritt >= 100)
        FortschrittMelden(false);
    return BudgetErschoepft();
}

void TDatenAusCloudThread::FortschrittMelden(bool erzwungen)
{
    if (!erzwungen && FIFortschritt >= FIFortschrittSTART)
        return;
    SchreibeINT(SettingKey::SyncFortschritt, FIFortschritt);
    FIFortschrittSTART = FIFortschritt;
    melde(TSyncStatus::SyncFortschritt);
}

void TDatenAusCloudThread::TabelleAbschliessen(const QString& tabellenName)
{
    if (BudgetErschoepft()) {
        SchreibeIstNeustart(tabellenName, true);
        SchreibeINT(SettingKey::SyncFortschritt, FIFortschritt);
        melde(TSyncStatus::SyncRestart);
    } else {
        SchreibeIstNeustart(tabellenName, false);
    }
}
