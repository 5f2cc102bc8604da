#pragma once

// Finds the window's controls and regions by objectName, as a user would find them by what they are.

#include <QTest>
#include <QWidget>

/// The child of @p root named @p name; the test stops when there is none.
template <typename T>
T* control(const QObject& root, const QString& name)
{
    T* found = root.findChild<T*>(name);
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

/// The single child of type @p T (a region or a service object of the window).
template <typename T>
T& part(const QObject& root)
{
    T* found = root.findChild<T*>();
    if (!found)
        qFatal("no part of type %s", T::staticMetaObject.className());
    return *found;
}
