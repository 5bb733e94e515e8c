#include "PrintTestKit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;

namespace testsupport {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

platform::ModalResponder printToPdf(const QString& pdf, int from, int to) {
    return [=](QWidget& w) {
        auto* dialog = qobject_cast<QPrintDialog*>(&w);
        QVERIFY(dialog);
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        QVERIFY(printers);
        // The file entry by its own text: a print queue of the machine may be named "PDF".
        const int file = printers->findText(QPrintDialog::tr("Print to File (PDF)"), Qt::MatchExactly);
        QVERIFY2(file >= 0, "no PDF file entry in the print dialog");
        printers->setCurrentIndex(file);
        dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf);
        if (from != 0) {
            dialog->findChild<QAbstractButton*>(QStringLiteral("printRange"))->click();
            dialog->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(from);
            dialog->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(to);
        }
        dialog->accept();
    };
}

QString pdfInfo(const QString& pdf, const QString& field) {
    const auto m = QRegularExpression(u"^"_s + field + u":[ \\t]*(.*)$"_s, QRegularExpression::MultilineOption)
                       .match(run(u"pdfinfo"_s, {pdf}));
    return m.captured(1);
}

int pdfPages(const QString& pdf) { return pdfInfo(pdf, u"Pages"_s).toInt(); }

QString pdfText(const QString& pdf) {
    // Whether "ffi" comes out as one ligature glyph depends on the fonts installed, not on us.
    const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QString folded;
    folded.reserve(text.size());
    for (const QChar c : text)
        folded += c.unicode() >= 0xFB00 && c.unicode() <= 0xFB06 ? c.decomposition() : QString(c);
    return folded;
}

QRectF pdfWordBox(const QString& pdf, const QString& word) {
    static const QRegularExpression words(
        u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"_s);
    for (const auto& m : words.globalMatch(run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s})))
        if (m.captured(5) == word)
            return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                          QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    return {};
}

}  // namespace testsupport
