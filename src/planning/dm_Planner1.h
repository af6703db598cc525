#pragma once

#include <QObject>

// The planner data module: planned assignments of the planning teams.
class TdmPlanner : public QObject {
    Q_OBJECT
public:
    explicit TdmPlanner(QObject* parent = nullptr);
};

extern TdmPlanner* dmPlanner;
