#include "chordtypingbox.h"

#include <QKeyEvent>

namespace mavrel {

ChordTypingBox::ChordTypingBox(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("chordTypingBox"));
    setToolTip(tr("Les accords de la mesure, séparés par des espaces : une note de A à G, # ou b, puis la "
                  "qualité (Dm7, F#ø, Bbsus4, C/E) ; % répète.\n"
                  "1 accord : case pleine ; 2 : diagonale ; 4 : quatre triangles ; 3 : deux quarts puis une "
                  "moitié, ou la moitié d'abord si le premier finit par un point (Dm7. G7 C7).\n"
                  "Avant les accords : [A] section, 1. 2. 3. fin de reprise, S segno, Q coda, |: ou || barre de "
                  "gauche, 3/4 chiffrage ; après : f point d'orgue, :| ou || barre de droite, <D.S. al Coda> "
                  "indication.\n"
                  "Tab ou Entrée : mesure suivante ; Maj+Tab : précédente ; Alt+flèches : se déplacer ; "
                  "Échap : quitter."));
    hide();
}

bool ChordTypingBox::event(QEvent* event)
{
    // Tab and Shift+Tab go from bar to bar, not from widget to widget.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && key->modifiers() & Qt::ShiftModifier)) {
            emit accepted(-1);
            return true;
        }
        if (key->key() == Qt::Key_Tab) {
            emit accepted(+1);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void ChordTypingBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit accepted(+1);
        return;
    case Qt::Key_Escape:
        emit leaveRequested();
        return;
    default:
        break;
    }
    if (event->modifiers() & Qt::AltModifier) {
        switch (event->key()) {
        case Qt::Key_Left: emit moveRequested(-1, 0); return;
        case Qt::Key_Right: emit moveRequested(+1, 0); return;
        case Qt::Key_Up: emit moveRequested(0, -1); return;
        case Qt::Key_Down: emit moveRequested(0, +1); return;
        default: break;
        }
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace mavrel
