#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One table of the master-data download: its table code in Lumora_union_AlleMutTimeStamp
// (empty: always copied), the local insert target, the name its stamp is kept under, the
// columns written and those that arrive scrambled.
struct TStammdatenTabelle {
    QString code;
    QString tabelle;
    QString stempelName;
    QStringList spalten;
    QStringList verschluesselt;
    // Server column a local column is read from, where the names differ.
    QString serverSpalteFuer(const QString& spalte) const;
    bool istTeamTabelle() const;
    // " INSERT OR REPLACE INTO <table> (<columns>) VALUES (:<columns>) ", Owner = 0 for the team tables.
    QString insertSQL() const;
};

// The coded tables, in the order of transfer.
const std::vector<TStammdatenTabelle>& StammdatenTabellen();
const TStammdatenTabelle& MaterialTabelle();
const TStammdatenTabelle& MaterialPreiseTabelle();

// The tables whose rows the server fills, in the order of the mark and the purge.
const QStringList& SynchronisierteTabellen();
