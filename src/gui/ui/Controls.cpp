#include "ui/Controls.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

#include <vector>

using namespace Qt::StringLiterals;

namespace Controls {
namespace {

const char* const kDecoration = "decoration";

} // namespace

QAction* shortcut(QWidget* owner, const QString& name, const QKeySequence& keys)
{
    auto* action = new QAction(owner);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    owner->addAction(action);
    return action;
}

void makePanel(QFrame* frame, const QString& name, QRect geometry)
{
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setAutoFillBackground(true);
}

QFrame* panel(QWidget* parent, const QString& name, QRect geometry)
{
    auto* frame = new QFrame(parent);
    makePanel(frame, name, geometry);
    return frame;
}

QFrame* rectangle(QWidget* parent, const QString& name, QRect geometry, const QColor& fill)
{
    auto* frame = place<QFrame>(parent, name, geometry);
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    frame->setProperty(kDecoration, true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, fill);
    palette.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(palette);
    return frame;
}

bool isDecoration(const QWidget* widget)
{
    return qobject_cast<const QLabel*>(widget) || widget->property(kDecoration).toBool();
}

QLabel* label(QWidget* parent, const QString& name, QRect geometry, const QString& caption)
{
    auto* widget = place<QLabel>(parent, name, geometry);
    widget->setText(caption);
    widget->setTextFormat(Qt::PlainText);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return widget;
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void setBaseColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void scrollSidewaysOnlyForWideItems(QListWidget* list)
{
    // The view counts the item's padding in its width, so a name that fits would still bring the bar,
    // and the bar hides a row.
    const int room = list->contentsRect().width() - list->verticalScrollBar()->sizeHint().width();
    const QFontMetrics metrics = list->fontMetrics();
    // No text of n characters is wider than n of the widest character: most names need no measuring.
    const qsizetype surelyFitting = room / std::max(metrics.maxWidth(), 1);
    bool wide = false;
    for (int i = 0; i < list->count() && !wide; ++i) {
        const QString text = list->item(i)->text();
        wide = text.size() > surelyFitting && metrics.horizontalAdvance(text) > room;
    }
    list->setHorizontalScrollBarPolicy(wide ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

QWidget* chainTabOrder(QWidget* previous, std::initializer_list<QWidget*> controls)
{
    // Qt moves only the second widget of a pair: the pairs are set in order from the first.
    for (QWidget* control : controls) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
    return previous;
}

void openContextMenusWithShiftF10(QWidget* window)
{
    // Qt turns the Menu key into a context menu request, and not the other key users know for it.
    QObject::connect(shortcut(window, u"contextMenuShortcut"_s, QKeySequence(Qt::SHIFT | Qt::Key_F10)),
        &QAction::triggered, window, [] {
            QWidget* focused = QApplication::focusWidget();
            if (!focused)
                return;
            // At the text cursor where there is one in sight, else in the middle of the control.
            QPoint at = focused->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
            if (!focused->rect().contains(at))
                at = focused->rect().center();
            QContextMenuEvent request(QContextMenuEvent::Keyboard, at, focused->mapToGlobal(at));
            QCoreApplication::sendEvent(focused, &request);
        });
}

void stack(std::initializer_list<QWidget*> topToBottom)
{
    const std::vector<QWidget*> order(topToBottom);
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        (*it)->raise();
}

} // namespace Controls
