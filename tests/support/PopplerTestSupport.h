#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTest>

// The output of a poppler-utils tool (pdfinfo, pdftotext) run on a PDF the program wrote, an
// independent reader of it; the test is skipped where poppler-utils is missing.
#define POPPLER(output, tool, ...)                                                                 \
    QString output;                                                                                \
    do {                                                                                           \
        if (QStandardPaths::findExecutable(QStringLiteral(tool)).isEmpty())                        \
            QSKIP(tool " not found: install poppler-utils to check the PDF output");               \
        QProcess process;                                                                          \
        process.start(QStringLiteral(tool), QStringList{__VA_ARGS__});                             \
        QVERIFY(process.waitForFinished(120000));                                                  \
        QCOMPARE(process.exitCode(), 0);                                                           \
        output = QString::fromUtf8(process.readAllStandardOutput());                               \
    } while (false)
