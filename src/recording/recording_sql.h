#pragma once

#include "core/tdatetime.h"

#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>

class Tdm;

// Pieces the recording statements share.

// The current tenant as it is appended to a statement ending in " and Mandant_ID = ".
QString mandantSql(const Tdm& dm);

// The change user written with every local change: the logged-in short name with the device suffix.
QString mutUser();

// A date-time parameter in its stored text form.
QVariant sqlDatum(TDateTime dt);

// Runs `sqlBisWhere` + "Where MobileID = :MobileID and Mandant_ID = " + tenant for one record, binding the given
// values and the change stamps <praefix>_MUTDAT (now) and <praefix>_MUTUSER. False when the statement failed.
bool aendereDatensatz(Tdm& dm, QStringView praefix, int mobileId, const QString& sqlBisWhere,
                      std::initializer_list<std::pair<QString, QVariant>> werte);

// The first number from `gewuenscht` downwards that no row of `tabelle` carries as MobileID or as `idSpalte`;
// 0 when the table cannot be read.
int freieMobileID(Tdm& dm, const QString& tabelle, const QString& idSpalte, int gewuenscht);
