#include "ui/ListKeys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

ListKeys::ListKeys(QAbstractItemView* list)
    : QObject(list)
    , m_list(list)
{
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid() && std::exchange(m_keyMoving, false))
            Q_EMIT movedByKeys();
    });
}

bool ListKeys::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
            Q_EMIT entered();
            return true;
        }
        // The list moves its current item once this returns; the change it signals comes from the keys.
        m_keyMoving = true;
        break;
    }
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::FocusOut:
        m_keyMoving = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
