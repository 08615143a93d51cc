#include "app/startup.h"

#include <QFileInfo>

namespace vantrel::Application {
namespace {
bool terminated = false;
}

QString titleFromProgramPath(const QString& path) {
    const QString base = QFileInfo(path).completeBaseName();
    if (base.isEmpty())
        return base;
    return base.left(1).toUpper() + base.mid(1).toLower();
}

void Terminate() {
    terminated = true;
}

bool Terminated() {
    return terminated;
}

} // namespace vantrel::Application
