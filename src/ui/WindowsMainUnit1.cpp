#include "WindowsMainUnit1.h"

#include <QHBoxLayout>

TWindowsForm::TWindowsForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("WindowsForm"));
    setWindowTitle(QStringLiteral("Lumora"));
    resize(1028, 839);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    layout->addWidget(Panel1, 1);
    layout->addWidget(Panel2, 1);
}
