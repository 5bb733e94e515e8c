#pragma once
#include "ExchangeFile.h"

#include <QDialog>

class QLabel;
class QPushButton;
namespace platform {
class FlexGrid;
}

// The viewer of a received exchange file: its students against its series, with their
// grades; read-only.
class frmExportPreview : public QDialog {
    Q_OBJECT
public:
    frmExportPreview();

    // Fills the grid from the file's contents; the caption names the file, the title line
    // its class and subject.
    void fill(const exchangefile::Contents& contents, const QString& fileName);

    QLabel* lblPrincipal;
    platform::FlexGrid* flxNotes;
    QPushButton* cmdClose;
};
