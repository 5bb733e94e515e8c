#pragma once
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>
#include <array>

class QPainter;

// Drawing the pages of a print file. Every coordinate is in twips from the paper's
// top-left corner: the painter is scaled so that one unit is one twip, on the screen as on
// paper, and fonts are sized in twips (a point is 20 twips), so that the preview shows the
// page exactly as it prints.
namespace printing {

// The font of the page setup, sized in twips. Hinting is off so that a text measures the
// same on every device.
QFont printFont(const QString& family, double points, bool bold = false);

// What the drawing takes from the page setup, copied when the print file is built so that
// a file is always drawn as it was laid out.
struct RenderSettings {
    QString fontName = QStringLiteral("Arial");
    double fontSize = 10;
    // En-Tête, Données1, Données2, Résultats, Grille.
    std::array<QColor, 5> colours{Qt::black, Qt::black, Qt::black, Qt::black, Qt::black};
};

// Draws the records of one page in order; a record that does not parse draws nothing.
void drawPage(QPainter& painter, const QStringList& records, const RenderSettings& settings);

// Widths of texts in twips, in the font of the text about to be written.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual double width(const QString& text) const = 0;
};

// The printer's measures as a layout takes them: the layout chooses the font, then asks
// for widths and line heights in it.
class PrinterMeasurer : public TextMeasurer {
public:
    virtual void setFont(const QString& family, double points, bool bold) = 0;
    // The height of one line of text, in twips.
    virtual double lineHeight() const = 0;
};

class FontMeasurer : public PrinterMeasurer {
public:
    void setFont(const QString& family, double points, bool bold) override;
    double width(const QString& text) const override;
    double lineHeight() const override;

private:
    QFont m_font = printFont(QStringLiteral("Arial"), 10);
    QFontMetricsF m_metrics{m_font};  // layouts measure thousands of texts in one font
};

// The longest form of the text's first line that is at most `width` wide, shortened with
// "..." when needed; "..." when not even that fits.
QString fitText(const TextMeasurer& measurer, const QString& text, int width);
// How many leading characters of the text's first line fit into `width`.
int fitCount(const TextMeasurer& measurer, const QString& text, int width);

}  // namespace printing
