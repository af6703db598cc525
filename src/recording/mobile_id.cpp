// Numbers of records made on this device.
#include "core/tdm.h"

#include "core/clock.h"
#include "recording/recording_sql.h"

using namespace Qt::StringLiterals;

namespace {

// Bounds the search for a free number; a thousand taken numbers in a row means the file is in trouble anyway.
constexpr int kMaxVersucheFreieNummer = 1000;

} // namespace

int Tdm::NeueMobileID() {
    int stunden = 0, minuten = 0, sekunden = 0, ms = 0;
    Clock::now().decodeTime(stunden, minuten, sekunden, ms);
    return -(((stunden * 60 + minuten) * 60 + sekunden) * 1000 + ms);
}

int freieMobileID(Tdm& dm, const QString& tabelle, const QString& idSpalte, int gewuenscht) {
    // MobileID addresses a row in every operation but has no key of its own: a number made at the same time of
    // day on another day could land on a row the server has renumbered, and every later write would hit both.
    // 0 marks "no record" throughout, so the very first millisecond of the day takes the next number.
    // The two lookups stay apart so that each finds its rows by an index; joined by "or" they read the table.
    const int erste = gewuenscht < 0 ? gewuenscht : -1;
    const QString mandant = mandantSql(dm);
    auto q = dm.GetQueryInstance();
    q->setSQL(u" select (select count(*) from "_s + tabelle + u"  where MobileID = :nr and Mandant_ID = "_s + mandant +
              u") + (select count(*) from "_s + tabelle + u"  where "_s + idSpalte + u" = :nr2 and Mandant_ID = "_s +
              mandant + u") as anzahl"_s);
    for (int nummer = erste; nummer > erste - kMaxVersucheFreieNummer; --nummer) {
        q->ParamByName(u"nr"_s).setAsInteger(nummer);
        q->ParamByName(u"nr2"_s).setAsInteger(nummer);
        if (!q->Open() || q->Eof())
            return 0;
        if (q->FieldByName(u"anzahl"_s).AsInteger() == 0)
            return nummer;
    }
    return 0;
}
