#pragma once
#include <QJsonObject>
#include <QString>

namespace testsupport {

// The workbook at path as a spreadsheet reader sees it (python's zipfile on the file):
// {"sheets": [names], "cells": {"B2": text, "C2": [number, number format], ...}} of its
// first sheet; empty when it cannot be read.
QJsonObject readWorkbook(const QString& path);

}  // namespace testsupport
