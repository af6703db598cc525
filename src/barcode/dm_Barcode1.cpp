#include "dm_Barcode1.h"

Tdm_barcode* dm_barcode = nullptr;

Tdm_barcode::Tdm_barcode(QObject* parent) : QObject(parent) { dm_barcode = this; }
