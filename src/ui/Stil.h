#pragma once

#include <QString>

// The window's look: one style sheet for toolbars, pages and the role-marked controls.
QString LumoraStilvorlage();
