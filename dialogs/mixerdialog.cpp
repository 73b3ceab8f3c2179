#include "mixerdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace mavrel {

MixerDialog::MixerDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("MixerDialog"));
    setWindowTitle(tr("Mélangeur"));
    setModal(false);

    const QString names[ChannelCount] = {tr("Basse"), tr("Piano"), tr("Batterie"), tr("Clic")};
    const char* keys[ChannelCount] = {"bass", "piano", "drums", "click"};

    auto* grid = new QGridLayout;
    for (int c = 0; c < ChannelCount; ++c) {
        auto* label = new QLabel(names[c], this);
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(QString::fromLatin1(keys[c]) + QStringLiteral("Volume"));
        slider->setRange(0, 100);
        slider->setPageStep(10);
        slider->setMinimumWidth(160);
        slider->setToolTip(tr("Volume : %1").arg(names[c]));
        label->setBuddy(slider);
        auto* mute = new QCheckBox(tr("Muet"), this);
        mute->setObjectName(QString::fromLatin1(keys[c]) + QStringLiteral("Mute"));
        grid->addWidget(label, c, 0);
        grid->addWidget(slider, c, 1);
        grid->addWidget(mute, c, 2);
        m_sliders[c] = slider;
        m_mutes[c] = mute;
        connect(slider, &QSlider::valueChanged, this,
                [this, c](int value) { emit channelChanged(c, value, m_mutes[c]->isChecked()); });
        connect(mute, &QCheckBox::toggled, this,
                [this, c](bool muted) { emit channelChanged(c, m_sliders[c]->value(), muted); });
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

void MixerDialog::setChannel(int channel, int volume, bool muted)
{
    if (channel < 0 || channel >= ChannelCount)
        return;
    const QSignalBlocker blockSlider(m_sliders[channel]);
    const QSignalBlocker blockMute(m_mutes[channel]);
    m_sliders[channel]->setValue(volume);
    m_mutes[channel]->setChecked(muted);
}

int MixerDialog::volume(int channel) const { return m_sliders[channel]->value(); }

bool MixerDialog::isMuted(int channel) const { return m_mutes[channel]->isChecked(); }

} // namespace mavrel
