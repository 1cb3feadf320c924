#include "Pinlet/MainMenu.h"

#include <QCoreApplication>
#include <initializer_list>

namespace pinlet {
namespace {

struct Command {
    QString title;
    QList<QKeySequence> keys;
};

QKeySequence primaryWith(Qt::Key key, Qt::KeyboardModifiers extra = {}) {
    return {QKeyCombination(Qt::ControlModifier | extra, key)};
}

void addCommands(QMenu& menu, std::initializer_list<Command> commands) {
    for (const auto& [title, keys] : commands) {
        menu.addAction(title)->setShortcuts(keys);
    }
}

} // namespace

std::unique_ptr<QMenu> makeMainMenu() {
    auto menu = std::make_unique<QMenu>(QObject::tr("Pinlet"));
    QMenu* edit = menu->addMenu(QObject::tr("Edit"));
    addCommands(*edit, {{QObject::tr("Undo"), {primaryWith(Qt::Key_Z)}},
                        {QObject::tr("Redo"), {primaryWith(Qt::Key_Z, Qt::ShiftModifier)}},
                        {QObject::tr("Cut"), {primaryWith(Qt::Key_X)}},
                        {QObject::tr("Copy"), {primaryWith(Qt::Key_C)}},
                        {QObject::tr("Paste"), {primaryWith(Qt::Key_V)}},
                        {QObject::tr("Select All"), {primaryWith(Qt::Key_A)}}});
    // The panel takes "=" and "-" with or without Shift.
    QMenu* view = menu->addMenu(QObject::tr("View"));
    addCommands(*view,
                {{QObject::tr("Bigger Text"),
                  {primaryWith(Qt::Key_Equal), primaryWith(Qt::Key_Equal, Qt::ShiftModifier)}},
                 {QObject::tr("Smaller Text"),
                  {primaryWith(Qt::Key_Minus), primaryWith(Qt::Key_Minus, Qt::ShiftModifier)}},
                 {QObject::tr("Actual Size"), {primaryWith(Qt::Key_0)}}});
    addCommands(*menu, {{QObject::tr("Quit Pinlet"), {primaryWith(Qt::Key_Q)}}});
    return menu;
}

} // namespace pinlet
