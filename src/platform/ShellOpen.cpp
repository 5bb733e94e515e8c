#include "ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {
namespace {
std::function<bool(const QString&)> g_handler;
}

bool shellOpen(const QString& target) {
    if (g_handler) return g_handler(target);
    const QString t = target.trimmed();
    if (t.isEmpty()) return false;
    QUrl url;
    if (QFileInfo::exists(t))
        url = QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath());
    else
        url = QUrl::fromUserInput(t);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void setShellOpenHandler(std::function<bool(const QString&)> handler) { g_handler = std::move(handler); }

}  // namespace platform
