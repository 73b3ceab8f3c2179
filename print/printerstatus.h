// What CUPS says of a printer and of a job sent to it. Qt hands the sheet to
// CUPS and reports nothing of what becomes of it: a queue that refuses jobs,
// a stopped printer and one that cannot be reached would all pass for a sheet
// printed. These ask the printing system itself, in the printer's own words.
#pragma once

#include <QByteArray>
#include <QString>

namespace mavrel {

struct PrinterStatus {
    // False when CUPS knows no such printer or cannot be asked: nothing is
    // then known against printing.
    bool known = false;
    bool acceptingJobs = true;
    bool stopped = false;
    // What the printer says of itself, as it says it; often empty.
    QString message;
};
PrinterStatus printerStatus(const QString& printer);

enum class JobState { Unknown, Pending, Held, Processing, Stopped, Canceled, Aborted, Completed };

struct JobStatus {
    JobState state = JobState::Unknown;
    // What the printer said while it had the job.
    QString message;
};
JobStatus jobStatus(int job);

// The newest of this user's jobs on the printer, finished ones included, or 0.
int newestJob(const QString& printer);

// Sends a PDF document to the printer as one job, as it is: the paper shows
// the document's own pages. The printer's instance, when Qt names one, gives
// its options. The job's number, or 0 with `error` saying what CUPS said.
int sendPdfJob(const QString& printer, const QString& title, const QByteArray& pdf, QString& error);

// What went wrong with the last request this thread made to CUPS, Qt's own
// included, or an empty text when it went through.
QString lastRequestError();

} // namespace mavrel
