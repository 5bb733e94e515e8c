#pragma once
#include <QString>
#include <functional>

namespace platform {

// Opens a file, folder, web page or mail address with the desktop's default handler.
// Returns false when nothing could open it.
bool shellOpen(const QString& target);

// Tests replace the desktop with a handler of their own; an empty one restores it.
void setShellOpenHandler(std::function<bool(const QString&)> handler);

}  // namespace platform
