// The song dialog ("Morceau"): the song's title, composer, style, key, tempo
// and meter. It says what the user changed; the window makes that one step of
// the history.
#pragma once

#include "document/song.h"

#include <QDialog>

#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace mavrel {

// What "OK" changes in the song: only the fields the user changed, so that
// the others keep their very bytes (a title read from a file that the box
// could not show as it is, the spelling of a natural key).
struct SongChanges {
    std::optional<std::string> title;      // UTF-8
    std::optional<std::string> composer;
    std::optional<std::string> style;
    std::optional<Key> key;                // empty: not set
    std::optional<int> tempo;              // 0: not set
    std::optional<TimeSignature> time;     // empty: not set

    bool empty() const { return !title && !composer && !style && !key && !tempo && !time; }
    void applyTo(SongInfo& song) const;
};

class SongDialog : public QDialog {
    Q_OBJECT
public:
    explicit SongDialog(QWidget* parent = nullptr);

    // Presets the controls from the song. `detected` is the key heard in the
    // chords, shown beside "not set" and taken when the user picks its tonic.
    void setSong(const SongInfo& song, Key detected);

    // What the controls show that differs from the song they were set from.
    SongChanges changes() const;

signals:
    // "OK" with something changed.
    void songAccepted(const mavrel::SongChanges& changes);

public slots:
    void accept() override;

private:
    // The key the tonic and mode combo boxes show; empty for "not set".
    Key shownKey() const;
    void selectMeter(TimeSignature time);
    // "non précisée", with the key heard in the chords when there is one.
    QString notSetText(Key detected, const QString& tonic) const;

    QLineEdit* m_title;
    QLineEdit* m_composer;
    QComboBox* m_style;
    QComboBox* m_tonic;
    QComboBox* m_mode;
    QSpinBox* m_tempo;
    QComboBox* m_time;

    // What the controls were preset to.
    QString m_shownTitle, m_shownComposer, m_shownStyle;
    int m_shownTonic = 0;
    int m_shownMode = 0;
    int m_shownTempo = 0;
    int m_shownTime = 0;
    Key m_detected{};
};

} // namespace mavrel
