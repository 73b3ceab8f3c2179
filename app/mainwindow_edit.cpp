// The "Édition", "Affichage" and "Fonctions" menus.
#include "mainwindow.h"

#include "charteditor.h"
#include "dialogs/transposedialog.h"
#include "documentmanager.h"
#include "edit/chartdocument.h"

#include <QUndoStack>

namespace mavrel {

// --- "Edition" --------------------------------------------------------------------------

void MainWindow::undo()
{
    m_editor->closeForHistory();
    m_document->undoStack()->undo();
}

void MainWindow::redo()
{
    m_editor->closeForHistory();
    m_document->undoStack()->redo();
}

// The clipboard is every window's: bars copied in one are pasted in any other.
void MainWindow::copy() { m_document->copySelectedBars(DocumentManager::instance()->clipboard()); }

void MainWindow::paste() { m_document->pasteBars(DocumentManager::instance()->clipboard()); }

void MainWindow::clearSelectedBars() { m_document->clearSelectedBars(); }

// --- "Fonctions" ------------------------------------------------------------------------

void MainWindow::showTransposeDialog()
{
    m_transposeDialog->show();
    m_transposeDialog->raise();
}

} // namespace mavrel
