#include "printerstatus.h"

#include <cups/cups.h>

#include <algorithm>
#include <memory>

namespace mavrel {

namespace {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppResponse = std::unique_ptr<ipp_t, IppDeleter>;

// Qt names a printer's instance after a slash; CUPS queues have no slash.
QByteArray queueName(const QString& printer)
{
    return printer.section(QLatin1Char('/'), 0, 0).toUtf8();
}

// The request sent to the default server, and its answer when it succeeded.
IppResponse send(ipp_t* request)
{
    IppResponse response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return nullptr;
    return response;
}

QString text(ipp_t* response, const char* name)
{
    ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_ZERO);
    const char* value = a ? ippGetString(a, 0, nullptr) : nullptr;
    return value ? QString::fromUtf8(value).trimmed() : QString();
}

int number(ipp_t* response, const char* name, int otherwise)
{
    ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_ZERO);
    return a ? ippGetInteger(a, 0) : otherwise;
}

} // namespace

PrinterStatus printerStatus(const QString& printer)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queueName(printer).constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-state", "printer-state-message", "printer-is-accepting-jobs"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)),
                  nullptr, wanted);
    PrinterStatus status;
    const IppResponse response = send(request);
    if (!response)
        return status;
    status.known = true;
    ipp_attribute_t* accepting = ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    status.acceptingJobs = !accepting || ippGetBoolean(accepting, 0);
    status.stopped = number(response.get(), "printer-state", IPP_PSTATE_IDLE) == IPP_PSTATE_STOPPED;
    status.message = text(response.get(), "printer-state-message");
    return status;
}

JobStatus jobStatus(int job)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/jobs/%d", job);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static const char* const wanted[] = {"job-state", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)),
                  nullptr, wanted);
    JobStatus status;
    const IppResponse response = send(request);
    if (!response)
        return status;
    switch (number(response.get(), "job-state", 0)) {
    case IPP_JSTATE_PENDING: status.state = JobState::Pending; break;
    case IPP_JSTATE_HELD: status.state = JobState::Held; break;
    case IPP_JSTATE_PROCESSING: status.state = JobState::Processing; break;
    case IPP_JSTATE_STOPPED: status.state = JobState::Stopped; break;
    case IPP_JSTATE_CANCELED: status.state = JobState::Canceled; break;
    case IPP_JSTATE_ABORTED: status.state = JobState::Aborted; break;
    case IPP_JSTATE_COMPLETED: status.state = JobState::Completed; break;
    default: break;
    }
    status.message = text(response.get(), "job-printer-state-message");
    return status;
}

int newestJob(const QString& printer)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queueName(printer).constData(), 1, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i)
        newest = std::max(newest, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return newest;
}

int sendPdfJob(const QString& printer, const QString& title, const QByteArray& pdf, QString& error)
{
    const QByteArray queue = queueName(printer);
    const QByteArray instance = printer.section(QLatin1Char('/'), 1).toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    const QByteArray name = title.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), name.constData(), dest ? dest->num_options : 0,
                                  dest ? dest->options : nullptr);
    cupsFreeDests(dest ? 1 : 0, dest);
    bool sent = false;
    if (job > 0
        && cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), job, name.constData(), CUPS_FORMAT_PDF, 1)
            == HTTP_STATUS_CONTINUE) {
        const bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), std::size_t(pdf.size()))
            == HTTP_STATUS_CONTINUE;
        // Finished even when the writing failed, to close the request.
        sent = cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) == IPP_STATUS_OK && written;
    }
    if (sent)
        return job;
    error = lastRequestError();
    if (error.isEmpty())
        error = QString::fromUtf8(ippErrorString(IPP_STATUS_ERROR_INTERNAL));
    // Half a document must not print.
    if (job > 0)
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.constData(), job, 0);
    return 0;
}

QString lastRequestError()
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    return QString::fromUtf8(cupsLastErrorString()).trimmed();
}

} // namespace mavrel
