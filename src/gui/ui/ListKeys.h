#pragma once

#include <QObject>

class QAbstractItemView;

/// What users expect of a list from the keyboard: Enter or Return chooses the current item as a click
/// does, and a move of the current item with the keys is told apart from a click.
class ListKeys final : public QObject
{
    Q_OBJECT

public:
    /// Watches @p list, and dies with it. The list keeps the model it has now.
    explicit ListKeys(QAbstractItemView* list);
    Q_DISABLE_COPY_MOVE(ListKeys)

Q_SIGNALS:
    void entered();
    void movedByKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* m_list;
    bool m_keyMoving = false;
};
