#include "recording/recording_sql.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/tdm.h"

using namespace Qt::StringLiterals;

QString mandantSql(const Tdm& dm) {
    return QString::number(dm.FMandantID);
}

QString mutUser() {
    return AngemeldeterUserKurz + Konstanten::UserSuffix;
}

QVariant sqlDatum(TDateTime dt) {
    return QVariant(DTDatetimeToString(dt));
}

bool aendereDatensatz(Tdm& dm, QStringView praefix, int mobileId, const QString& sqlBisWhere,
                      std::initializer_list<std::pair<QString, QVariant>> werte) {
    auto q = dm.GetQueryInstance();
    q->setSQL(sqlBisWhere + u"Where MobileID = :MobileID and Mandant_ID = "_s + mandantSql(dm));
    for (const auto& [name, wert] : werte)
        q->ParamByName(name).setValue(wert);
    q->ParamByName(praefix.toString() + u"_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(praefix.toString() + u"_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"MobileID").setAsInteger(mobileId);
    return q->ExecSQL();
}
