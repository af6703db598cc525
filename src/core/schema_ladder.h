#pragma once

#include "globals.h"

#include <QStringList>

class Tdm;
class TSqlQuery;

// Runs the upgrade steps from file version `version` up to `bisVersion` on the open local
// file, through the one query given. Each step runs when its condition on the starting
// version holds; every statement stands on its own and a failing one is passed over.
// Returns the names of the steps that ran, in order.
QStringList runSchemaLadder(Tdm& dm, TSqlQuery& query, int version, int bisVersion = Konstanten::LokaleDBVersion);
