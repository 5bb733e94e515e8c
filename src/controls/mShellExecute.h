#pragma once
#include <QString>

class QWidget;

// Opens a document or an address with the desktop's default handler, with the shell's
// result codes: above 32 is success, 32 or less a failure with a French message of its own.
namespace mShellExecute {

inline constexpr int kShellOk = 42;

QString ErrorText(int code);

// parameters and showCommand only mean something to programs started directly, which the
// desktop's handler does not do; they are accepted and not used.
int RunShellExecute(const QString& file, const QString& operation, const QString& parameters,
                    const QString& folder, int showCommand, QWidget* owner, bool showErrors);

}  // namespace mShellExecute
