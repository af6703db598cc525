// The flags that mark an empty from-time, to-time or duration of an entry or presence time.
#include "core/tdm.h"

#include "recording/recording_sql.h"

using namespace Qt::StringLiterals;

bool Tdm::ZeitenGibIstNull(int MobileID, bool IstZER, int VonBisStd_123) {
    QString spalte;
    switch (VonBisStd_123) {
    case 1:
        spalte = u"VonIstNULL"_s;
        break;
    case 2:
        spalte = u"BisIstNULL"_s;
        break;
    case 3:
        spalte = u"StdIstNULL"_s;
        break;
    default:
        return false;
    }
    auto q = GetQueryInstance();
    q->setSQL(u" Select "_s + spalte + (IstZER ? u" from Z_Erfassung "_s : u" from  Z_Praesenzzeit "_s) +
              u" WHERE MobileID = "_s + QString::number(MobileID) + u" and Mandant_ID = "_s + mandantSql(*this));
    if (!q->Open() || q->Eof())
        return false;
    return q->Fields(0).AsInteger() == 1;
}

void Tdm::ZeitenSetzeIstNull(int MobileID, bool IstZER, bool von, bool bis, bool Std, bool IstNull) {
    const QString tabelle = IstZER ? u" Update Z_Erfassung "_s : u" Update Z_Praesenzzeit "_s;
    const QString wert = IstNull ? u"1"_s : u"0"_s;
    const QString bedingung =
        u" WHERE MobileID = "_s + QString::number(MobileID) + u" and Mandant_ID = "_s + mandantSql(*this);
    const std::pair<bool, QString> flags[] = {
        {von, u" SET VonIstNULL = "_s}, {bis, u" SET BisIstNULL = "_s}, {Std, u" SET StdIstNULL = "_s}};
    for (const auto& [setzen, zuweisung] : flags) {
        if (!setzen)
            continue;
        auto q = GetQueryInstance();
        q->setSQL(tabelle + zuweisung + wert + u" "_s + bedingung);
        q->ExecSQL();
    }
}
