#pragma once

#include <QObject>

// The barcode module: acts on codes collected from a keyboard-wedge scanner.
class Tdm_barcode : public QObject {
    Q_OBJECT
public:
    explicit Tdm_barcode(QObject* parent = nullptr);
};

extern Tdm_barcode* dm_barcode;
