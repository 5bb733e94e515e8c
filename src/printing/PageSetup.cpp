#include "PageSetup.h"

#include "CINIFile.h"
#include "controls/mChooseFontDlg.h"
#include "platform/Numbers.h"

#include <QRegularExpression>
#include <QSizeF>
#include <cmath>

namespace printing {
namespace {

const QString kSection = QStringLiteral("Impression");
const char* const kMarginKeys[4] = {"MargeS", "MargeI", "MargeG", "MargeD"};
const char* const kColourKeys[5] = {"En-Tête", "Données1", "Données2", "Résultats", "Grille"};

struct Paper {
    const char* name;
    int widthMm, heightMm;
    QPageSize::PageSizeId id;
};
// B4 and B5 are the sizes of the Japanese series, which the millimetres give.
const Paper kPapers[] = {
    {"A4 (210 x 297 mm)", 210, 297, QPageSize::A4},         {"A3 (297 x 420 mm)", 297, 420, QPageSize::A3},
    {"A5 (148 x 210 mm)", 148, 210, QPageSize::A5},         {"A6 (105 x 148)", 105, 148, QPageSize::A6},
    {"B4 (257 x 364 mm)", 257, 364, QPageSize::JisB4},      {"B5 (182 x 257 mm)", 182, 257, QPageSize::JisB5},
    {"Letter (217 x 281 mm)", 217, 281, QPageSize::Letter}, {"Legal (217 x 358 mm)", 217, 358, QPageSize::Legal},
};

struct Colour {
    const char* name;
    QRgb rgb;
};
const Colour kColours[] = {{"Bleu", qRgb(0, 0, 255)},   {"Cyan", qRgb(0, 255, 255)}, {"Magenta", qRgb(255, 0, 255)},
                           {"Noir", qRgb(0, 0, 0)},     {"Rouge", qRgb(255, 0, 0)},  {"Vert", qRgb(0, 255, 0)}};

// A list position or a box read from the file: its default unless the stored value is a
// whole number the dialog could have written.
int position(const QString& stored, int low, int high, int fallback) {
    if (stored.isEmpty()) return fallback;
    const double v = platform::numbers::roundHalfEven(Val(stored));
    return v >= low && v <= high ? int(v) : fallback;
}

// A length box read from the file: the whole number stored, whatever its size, since the
// dialog saves a custom size it does not use as typed, unchecked; its default only for what
// the digits-only box could never have held.
QString length(const QString& stored, const QString& fallback) {
    const double v = Val(stored);
    const bool digits = !stored.isEmpty() && stored[0] >= u'0' && stored[0] <= u'9';
    return digits && v == std::floor(v) ? QString::number(v, 'f', 0) : fallback;
}

QString twoLines(const char* first, const char* second) {
    return QString::fromUtf8(first) + u'\n' + QString::fromUtf8(second);
}

}  // namespace

QStringList paperNames() {
    QStringList names;
    for (const Paper& p : kPapers) names << QString::fromUtf8(p.name);
    return names << QStringLiteral("Format personnalisé");
}

QStringList colourNames() {
    QStringList names;
    for (const Colour& c : kColours) names << QString::fromUtf8(c.name);
    return names;
}

QColor colour(int position) { return QColor(kColours[position >= 0 && position < 6 ? position : kBlack].rgb); }

double Val(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(\\d+(\\.\\d*)?|\\.\\d+))"));
    const auto m = number.match(text);
    const double v = m.hasMatch() ? m.captured(1).toDouble() : 0;
    return std::isfinite(v) ? v : 0;
}

PageSetup loadPageSetup(const QString& settingsFile) {
    CINIFile ini;
    ini.setFile(settingsFile);
    ini.setSection(kSection);
    const auto read = [&](const char* key) { return ini.Value(QString::fromUtf8(key)); };

    PageSetup s;
    const PageSetup defaults;
    s.paper = position(read("Taille"), 0, kCustomPaper, defaults.paper);
    s.customWidth = length(read("Perso1"), defaults.customWidth);
    s.customHeight = length(read("Perso2"), defaults.customHeight);
    for (int i = 0; i < 4; ++i) s.margins[i] = length(read(kMarginKeys[i]), defaults.margins[i]);
    if (const QString name = read("FontName"); !name.isEmpty()) s.fontName = name;
    const QString size = read("FontSize");
    if (const auto points = platform::numbers::parse(size);
        points && *points >= mChooseFontDlg::kSmallestSize && *points <= mChooseFontDlg::kLargestSize)
        s.fontSize = size;
    s.landscape = position(read("Orientation"), 0, 1, 1) == 1;
    s.gridLines = position(read("Quadrillage"), 0, 1, 1) == 1;
    for (int i = 0; i < 5; ++i) s.colours[i] = position(read(kColourKeys[i]), 0, 5, kBlack);
    return s;
}

bool savePageSetup(const PageSetup& s, const QString& settingsFile) {
    CINIFile ini;
    ini.setFile(settingsFile);
    ini.setSection(kSection);
    bool ok = true;
    const auto write = [&](const char* key, const QString& value) {
        ok = ini.setValue(QString::fromUtf8(key), value) && ok;
    };
    write("Taille", QString::number(s.paper));
    write("Perso1", s.customWidth);
    write("Perso2", s.customHeight);
    for (int i = 0; i < 4; ++i) write(kMarginKeys[i], s.margins[i]);
    write("Orientation", s.landscape ? QStringLiteral("1") : QStringLiteral("0"));
    write("FontName", s.fontName);
    write("FontSize", s.fontSize);
    write("Quadrillage", s.gridLines ? QStringLiteral("1") : QStringLiteral("0"));
    for (int i = 0; i < 5; ++i) write(kColourKeys[i], QString::number(s.colours[i]));
    return ok;
}

QString pageSetupRefusal(const PageSetup& s) {
    const double width = Val(s.customWidth), height = Val(s.customHeight);
    const bool custom = s.paper == kCustomPaper;
    if (custom) {
        const int widest = s.landscape ? 500 : 300, highest = s.landscape ? 300 : 500;
        if (width < 100 || width > widest)
            return s.landscape ? QStringLiteral("En orientation paysage, la largeur de page doit être comprise entre 100 et 500 mm.")
                               : QStringLiteral("La largeur de page doit être comprise entre 100 et 300 mm.");
        if (height < 100 || height > highest)
            return s.landscape ? QStringLiteral("En orientation paysage, la hauteur de page doit être comprise entre 100 et 300 mm.")
                               : QStringLiteral("La hauteur de page doit être comprise entre 100 et 500 mm.");
    }
    std::array<double, 4> m{};
    for (int i = 0; i < 4; ++i) {
        m[i] = Val(s.margins[i]);
        if (m[i] < 5 || m[i] > 50) return QStringLiteral("Les marges doivent être comprises entre 5 et 50 mm.");
    }
    const double vertical = std::round(m[0] + m[1]), horizontal = std::round(m[2] + m[3]);
    if (custom) {
        if (width - horizontal < 50)
            return twoLines("Les marges droite et gauche sont trop grandes.", "Veuillez les réduire.");
        if (height - vertical < 50)
            return twoLines("Les marges spérieure et inférieure sont trop grandes.", "Veuillez les réduire.");
    } else if (s.paper == kA6 && horizontal > 45) {
        return twoLines("Les marges droite et gauche sont trop grandes.",
                        "Veuillez les réduire pour que leur somme soient au plus égale à 45 mm.");
    }
    return {};
}

int mmToTwips(double mm) {
    if (!(mm > 0)) return 0;
    // 56.7 twips a millimetre, cut to the whole twip: 5 mm gives 283, A4 11907 x 16839.
    return int(std::min(std::floor(mm * 56.7 + 1e-7), 1e9));
}

PageGeometry pageGeometry(const PageSetup& s) {
    PageGeometry g;
    if (s.paper >= 0 && s.paper < kCustomPaper) {
        g.width = mmToTwips(kPapers[s.paper].widthMm);
        g.height = mmToTwips(kPapers[s.paper].heightMm);
        if (s.landscape) std::swap(g.width, g.height);
    } else {
        g.width = mmToTwips(Val(s.customWidth));
        g.height = mmToTwips(Val(s.customHeight));
    }
    g.top = mmToTwips(Val(s.margins[0]));
    g.bottom = mmToTwips(Val(s.margins[1]));
    g.left = mmToTwips(Val(s.margins[2]));
    g.right = mmToTwips(Val(s.margins[3]));
    return g;
}

QPageLayout pageLayout(const PageSetup& s) {
    if (s.paper >= 0 && s.paper < kCustomPaper)
        return QPageLayout(QPageSize(kPapers[s.paper].id), s.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF());
    const double w = std::max(1.0, Val(s.customWidth)), h = std::max(1.0, Val(s.customHeight));
    const QPageSize size(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    return QPageLayout(size, w > h ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

RenderSettings renderSettings(const PageSetup& s) {
    RenderSettings r;
    r.fontName = s.fontName;
    r.fontSize = platform::numbers::parse(s.fontSize).value_or(10);
    for (int i = 0; i < 5; ++i) r.colours[i] = colour(s.colours[i]);
    return r;
}

}  // namespace printing
