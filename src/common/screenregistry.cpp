#include "common/screenregistry.h"

#include <QHash>

namespace tvx {

namespace {
QHash<QString, ScreenFactory> &factories()
{
    static QHash<QString, ScreenFactory> registry;
    return registry;
}
}  // namespace

void registerScreen(const QString &name, ScreenFactory factory) { factories().insert(name, std::move(factory)); }

bool isScreenRegistered(const QString &name) { return factories().contains(name); }

Screen *createScreen(const QString &name, QWidget *parent)
{
    const auto it = factories().constFind(name);
    return it == factories().constEnd() ? nullptr : (*it)(parent);
}

}  // namespace tvx
