#include "dm_Planner1.h"

TdmPlanner* dmPlanner = nullptr;

TdmPlanner::TdmPlanner(QObject* parent) : QObject(parent) { dmPlanner = this; }
