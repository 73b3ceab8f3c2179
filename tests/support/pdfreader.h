// Programs run as a user runs them, and PDF documents read back by real
// readers (poppler-utils): their page count and the text of a page.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace mavrel::test {

struct Process {
    int status = -1;
    QByteArray out;
    QString err;
};

// In `folder`, in the C.UTF-8 locale, with the display the system gives.
inline Process run(const QString& program, const QStringList& args, const QString& folder = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LANGUAGE"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    Process r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The page count pdfinfo reads, -1 when it cannot read the file.
inline int pdfPageCount(const QString& pdf, const QString& folder = {})
{
    const Process info = run(QStringLiteral("pdfinfo"), {pdf}, folder);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(info.out));
    return info.status == 0 && m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of page `page` (from 1), laid out as it is on the page.
inline QString pdfText(const QString& pdf, int page, const QString& folder = {})
{
    const QString n = QString::number(page);
    return QString::fromUtf8(run(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-f"), n, QStringLiteral("-l"), n, QStringLiteral("-layout"), pdf,
                                  QStringLiteral("-")},
                                 folder)
                                 .out);
}

} // namespace mavrel::test
