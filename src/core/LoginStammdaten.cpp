#include "LoginStammdaten.h"

#include "scrambling.h"
#include "tdm.h"

#include "sync/RemoteDB.h"
#include "sync/ServerWerte.h"
#include "sync/StammdatenTabellen.h"

#include <QHash>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QHash<QString, TSpaltenArt> lokaleSpaltenArten(Tdm& dm, const QString& tabelle) {
    QHash<QString, TSpaltenArt> arten;
    auto q = dm.GetQueryInstance();
    q->setSQL(u"PRAGMA table_info("_s + tabelle + u')');
    if (!q->Open())
        return arten;
    for (; !q->Eof(); q->Next())
        arten.insert(q->FieldByName(u"name").AsString().toLower(),
                     SpaltenArtAusTyp(q->FieldByName(u"type").AsString()));
    return arten;
}

const TStammdatenTabelle* tabelleMitCode(const QString& code) {
    const auto& tabellen = StammdatenTabellen();
    const auto it = std::find_if(tabellen.begin(), tabellen.end(), [&](const auto& t) { return t.code == code; });
    return it == tabellen.end() ? nullptr : &*it;
}

bool kopiere(Tdm& dm, const TStammdatenTabelle& tabelle, int mandantID, const TVerschluesseln& keys) {
    auto rows = dm.GetXDatasetInstance();
    rows->setSQL(u" select * from   "_s + tabelle.tabelle + u"  where Mandant_ID = :Mandant_ID "_s);
    rows->ParamByName(u"Mandant_ID").setAsInteger(mandantID);
    if (!rows->Open())
        return false;

    const QHash<QString, TSpaltenArt> arten = lokaleSpaltenArten(dm, tabelle.tabelle);
    const QSet<QString> verschluesselt(tabelle.verschluesselt.begin(), tabelle.verschluesselt.end());
    auto insert = dm.GetQueryInstance();
    insert->setSQL(tabelle.insertSQL());
    for (; !rows->Eof(); rows->Next()) {
        for (const QString& spalte : tabelle.spalten) {
            const TXField field = rows->FieldByName(tabelle.serverSpalteFuer(spalte));
            insert->ParamByName(spalte).setValue(verschluesselt.contains(spalte)
                                                     ? QVariant(Scrambling::Entschluesseln(keys, field.AsString()))
                                                     : LokalerWert(field, SpaltenArt(arten, spalte)));
        }
        insert->ExecSQL(); // a row that cannot be written is skipped, as in the download
    }
    return true;
}

} // namespace

bool KopiereLoginStammdaten(Tdm& dm, int mandantID, const TVerschluesseln& keys) {
    for (const QString& code : {u"U_G"_s, u"U_U"_s}) {
        const TStammdatenTabelle* tabelle = tabelleMitCode(code);
        if (!tabelle || !kopiere(dm, *tabelle, mandantID, keys))
            return false;
    }
    return true;
}
