#pragma once
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace testsupport {

// The workbook at path as a spreadsheet reader sees it (python's zipfile on the file):
// {"sheets": [names], "cells": {"B2": text, "C2": [number, number format], ...},
// "widths": {"B": characters, ...}, "merged": ["B1:D1", ...]} of its first sheet; empty when
// it cannot be read.
QJsonObject readWorkbook(const QString& path);

// The columns of a book read above whose width does not fit their longest text as shown (a
// number with its decimals): not wider than it, or over half as wide again (but where a merged
// heading over it widens it); and the merged ranges whose columns together are not wider than
// their heading, or over half as wide again as it or as what they hold. A text longer than 60
// characters may be cut.
QStringList unfittedColumns(const QJsonObject& book);

}  // namespace testsupport
