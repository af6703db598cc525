#include "PlanungSpalten.h"

#include <QUuid>

namespace PlanungSpalten {

const QStringList& Planung() {
    static const QStringList spalten{
        QStringLiteral("Mandant_ID"),    QStringLiteral("MPL_GUID"),          QStringLiteral("MPL_Datum"),
        QStringLiteral("MPL_OrderNr"),   QStringLiteral("MPL_Betreff"),       QStringLiteral("MPL_Text"),
        QStringLiteral("MPL_PRO"),       QStringLiteral("MPL_RKA_ID_A"),      QStringLiteral("MPL_RKA_ID_W"),
        QStringLiteral("MPL_ADR_ID"),    QStringLiteral("MPL_MTM_GUID"),      QStringLiteral("MPL_ERFDAT"),
        QStringLiteral("MPL_ERFUSER"),   QStringLiteral("MPL_MUTDAT"),        QStringLiteral("MPL_MUTUSER"),
        QStringLiteral("Owner"),         QStringLiteral("gesperrt"),          QStringLiteral("komplett"),
        QStringLiteral("erledigt"),      QStringLiteral("geloescht"),         QStringLiteral("ObjektAdresse"),
        QStringLiteral("ObjektAuftrag"), QStringLiteral("ObjektWerkAuftrag"), QStringLiteral("ObjektProjekt"),
        QStringLiteral("MPL_KA"),        QStringLiteral("MPL_Erledigt"),      QStringLiteral("MPL_von"),
        QStringLiteral("MPL_bis"),       QStringLiteral("MPL_TER_Backcolor"), QStringLiteral("FlagGeloescht")};
    return spalten;
}

const QStringList& PlanungHochladen() {
    static const QStringList spalten = [] {
        QStringList s = Planung();
        for (const char* nurServer : {"MPL_OrderNr", "MPL_TER_Backcolor", "FlagGeloescht"})
            s.removeAll(QLatin1String(nurServer));
        return s;
    }();
    return spalten;
}

bool VerschluesseltHochladen(const QString& spalte) {
    static const QStringList spalten{
        QStringLiteral("MPL_Betreff"),       QStringLiteral("MPL_Text"),      QStringLiteral("MPL_ERFUSER"),
        QStringLiteral("MPL_MUTUSER"),       QStringLiteral("ObjektAdresse"), QStringLiteral("ObjektAuftrag"),
        QStringLiteral("ObjektWerkAuftrag"), QStringLiteral("ObjektProjekt"), QStringLiteral("MPL_KA")};
    return spalten.contains(spalte, Qt::CaseInsensitive);
}

bool VerschluesseltLaden(const QString& spalte) {
    return VerschluesseltHochladen(spalte) || spalte.compare(u"MPL_TER_Backcolor", Qt::CaseInsensitive) == 0;
}

const QStringList& Team() {
    static const QStringList spalten{QStringLiteral("Mandant_ID"),      QStringLiteral("MTM_GUID"),
                                     QStringLiteral("MTM_Bezeichnung"), QStringLiteral("MTM_Farbe"),
                                     QStringLiteral("MTM_ERFDAT"),      QStringLiteral("MTM_ERFUSER"),
                                     QStringLiteral("MTM_MUTDAT"),      QStringLiteral("MTM_MUTUSER")};
    return spalten;
}

const QStringList& TeamPersonal() {
    static const QStringList spalten{QStringLiteral("Mandant_ID"), QStringLiteral("MTP_GUID_Team"),
                                     QStringLiteral("MTP_LPE_ID"), QStringLiteral("MTP_Leader"),
                                     QStringLiteral("MTP_ERFDAT"), QStringLiteral("MTP_ERFUSER"),
                                     QStringLiteral("MTP_MUTDAT"), QStringLiteral("MTP_MUTUSER")};
    return spalten;
}

bool IstGuidSpalte(const QString& spalte) {
    static const QStringList spalten{QStringLiteral("MPL_GUID"), QStringLiteral("MPL_MTM_GUID"),
                                     QStringLiteral("MTM_GUID"), QStringLiteral("MTP_GUID_Team")};
    return spalten.contains(spalte, Qt::CaseInsensitive);
}

QString Guid(const QString& text) {
    return text.trimmed().left(38).toUpper();
}

bool IstGuid(const QString& text) {
    return text.size() == 38 && text.startsWith(u'{') && !QUuid::fromString(text).isNull();
}

QString MitgliedSchluessel(const QString& teamGuid, qint64 lpe) {
    return teamGuid + u'-' + QString::number(lpe);
}

QString SqlListe(const QStringList& werte) {
    QStringList teile;
    for (const QString& w : werte)
        teile << u'\'' + w + u'\'';
    return teile.join(QStringLiteral(", "));
}

} // namespace PlanungSpalten
