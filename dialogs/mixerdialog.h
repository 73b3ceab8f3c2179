// The mixer ("Mélangeur"): a volume slider and a mute box for each part of
// the band — bass, piano, drums — and for the click. It stays open beside
// the chart; each move is heard at once.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QSlider;

namespace mavrel {

class MixerDialog : public QDialog {
    Q_OBJECT
public:
    // The channels, in the band's order.
    enum Channel { Bass, Piano, Drums, Click };
    static constexpr int ChannelCount = 4;

    explicit MixerDialog(QWidget* parent = nullptr);

    // Shows a channel's setting without reporting it back.
    void setChannel(int channel, int volume, bool muted);
    int volume(int channel) const;
    bool isMuted(int channel) const;

signals:
    // A volume from 0 to 100, or a mute box, changed by the user.
    void channelChanged(int channel, int volume, bool muted);

private:
    std::array<QSlider*, ChannelCount> m_sliders{};
    std::array<QCheckBox*, ChannelCount> m_mutes{};
};

} // namespace mavrel
