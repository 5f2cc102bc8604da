#pragma once

#include "briefing/TextLook.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <initializer_list>

class QAction;
class QFrame;
class QKeySequence;
class QLabel;
class QListWidget;

/// Building blocks shared by the window's components: controls placed at fixed pixel rectangles, with the
/// window's face, colours and stacking order.
namespace Controls {

using TextLook::sansFont;

/// A new @p W child of @p parent, named @p name, at @p geometry.
template <typename W>
W* place(QWidget* parent, const QString& name, QRect geometry)
{
    auto* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

/// Names and places @p frame, an opaque container with no border: panels slide over other controls.
void makePanel(QFrame* frame, const QString& name, QRect geometry);
/// A new panel, as makePanel() makes it.
QFrame* panel(QWidget* parent, const QString& name, QRect geometry);

/// A filled, bordered rectangle drawn below its container's controls. It takes no mouse of its own: a move
/// over it counts as a move over its container's background.
QFrame* rectangle(QWidget* parent, const QString& name, QRect geometry, const QColor& fill);

/// True for the widgets a move may cross while still being over its container's background: rectangles
/// and labels, which draw on their container and react to nothing.
bool isDecoration(const QWidget* widget);

/// A plain-text label aligned top left.
QLabel* label(QWidget* parent, const QString& name, QRect geometry, const QString& caption);

void setTextColour(QWidget* widget, const QColor& colour);
void setBaseColour(QWidget* widget, const QColor& colour);

/// Shows @p list's horizontal scroll bar only when the text of one of its items is wider than the list.
void scrollSidewaysOnlyForWideItems(QListWidget* list);

/// A keyboard command of @p owner's window, live while @p owner is visible; connect its triggered().
QAction* shortcut(QWidget* owner, const QString& name, const QKeySequence& keys);

/// Puts @p controls in this order after @p previous in their window's tab order; returns the last control.
QWidget* chainTabOrder(QWidget* previous, std::initializer_list<QWidget*> controls);

/// Shift+F10 in @p window opens the focused control's context menu, as the Menu key does.
void openContextMenusWithShiftF10(QWidget* window);

/// Stacks @p topToBottom among their siblings, the first on top.
void stack(std::initializer_list<QWidget*> topToBottom);

} // namespace Controls
