#pragma once

#include <QString>
#include <QStringList>

// One layout of a table of the local file: column definitions in creation order and the primary key.
// Older layouts used by the upgrade steps are derived from the current ones with the modifiers below.
struct TabellenForm {
    QString name;
    QStringList spalten;    // each "Name type [NOT NULL] [DEFAULT x]"
    QStringList schluessel; // primary key columns, empty for none

    QString createSql(bool wennNichtVorhanden = false) const;
    QStringList spaltenNamen() const;

    TabellenForm ohne(const QStringList& namen) const;
    TabellenForm mitSpalte(const QString& definition) const;
    TabellenForm ersetzt(const QString& spaltenName, const QString& definition) const;
    TabellenForm mitSchluessel(const QStringList& neuerSchluessel) const;
    TabellenForm umbenannt(const QString& neuerName) const;
};

// The name of a column definition: its first token, without the quotes of a quoted identifier.
QString spaltenNameAus(const QString& definition);

// Every table of the current file version except INTERNAL, which the settings store creates itself.
QStringList aktuelleTabellenNamen();
// The current layout of one of those tables; an empty form for an unknown name.
TabellenForm aktuelleTabelle(const QString& name);
