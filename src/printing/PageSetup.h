#pragma once
#include "PageRenderer.h"

#include <QPageLayout>
#include <QString>
#include <array>

// The page setup as the page-setup dialog holds it, its settings file and its checks, and
// the page geometry that follows from it. Lengths are the texts of the dialog's boxes, in
// millimetres.
namespace printing {

inline constexpr int kCustomPaper = 8;
inline constexpr int kA6 = 3;
inline constexpr int kBlack = 3;

struct PageSetup {
    int paper = 0;  // position in the paper list; kCustomPaper for the typed size
    QString customWidth = QStringLiteral("210");
    QString customHeight = QStringLiteral("297");
    bool landscape = true;
    std::array<QString, 4> margins{QStringLiteral("20"), QStringLiteral("20"), QStringLiteral("20"),
                                   QStringLiteral("20")};  // top, bottom, left, right
    QString fontName = QStringLiteral("Arial");
    QString fontSize = QStringLiteral("10");  // points, decimal comma
    bool gridLines = true;
    std::array<int, 5> colours{kBlack, kBlack, kBlack, kBlack, kBlack};  // positions in the colour list

    bool operator==(const PageSetup&) const = default;
};

// The items of the paper and colour lists, and the colour of each colour item.
QStringList paperNames();
QStringList colourNames();
QColor colour(int position);

// The leading number of a text (digits, optionally a point and decimals, a sign before
// them), 0 when it starts with none.
double Val(const QString& text);

// Reads section "Impression" of the settings file. A missing file or key, and a value the
// dialog could not have written (out of a list's range, not a whole number), gives that
// key's default; sizes and margins come back as saved, checked only by "Continuer".
PageSetup loadPageSetup(const QString& settingsFile);
// Writes the sixteen keys in their order; false when the file could not be written.
bool savePageSetup(const PageSetup& setup, const QString& settingsFile);

// The message of the first check the sizes and margins fail, "" when they pass.
QString pageSetupRefusal(const PageSetup& setup);

// The paper and margins in twips: the paper after orientation, the margins as typed. A
// typed size is taken as the page lies, in either orientation.
struct PageGeometry {
    int width = 0, height = 0;
    int top = 0, bottom = 0, left = 0, right = 0;
};
PageGeometry pageGeometry(const PageSetup& setup);
int mmToTwips(double mm);

// The printer's page for the setup: its paper, its orientation, no margins.
QPageLayout pageLayout(const PageSetup& setup);

RenderSettings renderSettings(const PageSetup& setup);

}  // namespace printing
