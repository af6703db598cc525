#pragma once

#include <QWidget>

// The one window of daily work: the left panel shows the day, the right panel the page
// that edits it. Closing it ends the program.
class TWindowsForm : public QWidget {
    Q_OBJECT
public:
    explicit TWindowsForm(QWidget* parent = nullptr);

    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
};
