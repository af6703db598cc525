#pragma once

#include <QString>
#include <QWidget>

#include <utility>

// Creates a control under its design name: tests and later pages find it by objectName.
template <class T, class... Args> T* benannt(const char* name, Args&&... args) {
    T* w = new T(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
