#include "documentmanager.h"

#include <QCoreApplication>
#include <QPointer>

namespace mavrel {

namespace {
QPointer<DocumentManager> theManager;
} // namespace

DocumentManager* DocumentManager::instance()
{
    if (!theManager)
        theManager = new DocumentManager(QCoreApplication::instance());
    return theManager;
}

DocumentManager::DocumentManager(QObject* parent) : QObject(parent), m_qtDialogs(std::make_unique<QtUserDialogs>()) {}

DocumentManager::~DocumentManager() = default;

} // namespace mavrel
