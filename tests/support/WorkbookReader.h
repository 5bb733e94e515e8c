#pragma once
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace testsupport {

// The workbook at path as a spreadsheet reader sees it (python's zipfile on the file):
// {"sheets": [names], "cells": {"B2": text, "C2": [number, number format], ...},
// "widths": {"B": characters, ...}} of its first sheet; empty when it cannot be read.
QJsonObject readWorkbook(const QString& path);

// The columns of a book read above whose width does not fit their longest text as shown (a
// number with its decimals): not wider than it, or over half as wide again. A text longer
// than 60 characters may be cut.
QStringList unfittedColumns(const QJsonObject& book);

}  // namespace testsupport
